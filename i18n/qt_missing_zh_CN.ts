<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Chinese for the texts of Qt's own that Qt's Chinese catalogue lacks and the program's windows
     show: the file dialog's "Type" column names folders through the file icon provider. Kept by
     hand; loaded after Qt's catalogue in the Chinese interface. -->
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>驱动器</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
</context>
</TS>
