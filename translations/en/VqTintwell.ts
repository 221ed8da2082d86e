<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>InkManagement</name>
    <message>
        <source>Ink Management</source>
        <translation>Ink Management</translation>
    </message>
    <message>
        <source>Ink Information:</source>
        <translation>Ink Information:</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>Ink</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>Remaining</translation>
    </message>
    <message>
        <source>Ink Refill Log</source>
        <translation>Ink Refill Log</translation>
    </message>
    <message>
        <source>Note: The current device has unlimited ink remaining!</source>
        <translation>Note: The current device has unlimited ink remaining!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>Unlimited</translation>
    </message>
    <message>
        <source>Close Ink Management</source>
        <translation>Close Ink Management</translation>
    </message>
</context>
<context>
    <name>InkRefillLog</name>
    <message>
        <source>Ink Refill Log</source>
        <translation>Ink Refill Log</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>Ink</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close Ink Refill Log</source>
        <translation>Close Ink Refill Log</translation>
    </message>
</context>
</TS>
