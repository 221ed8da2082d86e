<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>InkManagement</name>
    <message>
        <source>Ink Management</source>
        <translation>墨水管理</translation>
    </message>
    <message>
        <source>Ink Information:</source>
        <translation>墨水信息：</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>墨水</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>剩余量</translation>
    </message>
    <message>
        <source>Ink Refill Log</source>
        <translation>加墨记录</translation>
    </message>
    <message>
        <source>Note: The current device has unlimited ink remaining!</source>
        <translation>注意：当前设备墨水余量无限！</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>无限</translation>
    </message>
    <message>
        <source>Close Ink Management</source>
        <translation>关闭墨水管理</translation>
    </message>
</context>
<context>
    <name>InkRefillLog</name>
    <message>
        <source>Ink Refill Log</source>
        <translation>加墨记录</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Ink</source>
        <translation>墨水</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>加墨量</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Close Ink Refill Log</source>
        <translation>关闭加墨记录</translation>
    </message>
</context>
</TS>
