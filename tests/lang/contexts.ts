<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Every dialog text, each only under its own dialog's context and marked with it. -->
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>InkManagement</name>
    <message>
        <source>Ink Management</source>
        <translation>IM:Ink Management</translation>
    </message>
    <message>
        <source>Ink Information:</source>
        <translation>IM:Ink Information:</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>IM:Ink</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>IM:Remaining</translation>
    </message>
    <message>
        <source>Ink Refill Log</source>
        <translation>IM:Ink Refill Log</translation>
    </message>
    <message>
        <source>Note: The current device has unlimited ink remaining!</source>
        <translation>IM:Note: The current device has unlimited ink remaining!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>IM:Close</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>IM:Unlimited</translation>
    </message>
    <message>
        <source>Close Ink Management</source>
        <translation>IM:Close Ink Management</translation>
    </message>
</context>
<context>
    <name>InkRefillLog</name>
    <message>
        <source>Ink Refill Log</source>
        <translation>IRL:Ink Refill Log</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>IRL:Time</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>IRL:Ink</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>IRL:Added</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>IRL:OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>IRL:Close</translation>
    </message>
    <message>
        <source>Close Ink Refill Log</source>
        <translation>IRL:Close Ink Refill Log</translation>
    </message>
</context>
</TS>
