<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Tells which file the manager loaded: one entry, marked B. -->
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>InkManagement</name>
    <message>
        <source>Ink Management</source>
        <translation>B</translation>
    </message>
</context>
</TS>
