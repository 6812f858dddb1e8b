<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>folvek-print</name>
    <message numerus="yes">
        <source>%1: %n page(s)</source>
        <translation>
            <numerusform>%1: %n page</numerusform>
            <numerusform>%1: %n pages</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s) sent to the printer</source>
        <translation>
            <numerusform>%1: %n page sent to the printer</numerusform>
            <numerusform>%1: %n pages sent to the printer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s) sent to the printer, %2 copies</source>
        <translation>
            <numerusform>%1: %n page sent to the printer, %2 copies</numerusform>
            <numerusform>%1: %n pages sent to the printer, %2 copies</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: warning: %n character(s) that code page 1251 lacks are printed as &quot;?&quot; (see --help)</source>
        <translation>
            <numerusform>%1: warning: %n character that code page 1251 lacks is printed as &quot;?&quot; (see --help)</numerusform>
            <numerusform>%1: warning: %n characters that code page 1251 lacks are printed as &quot;?&quot; (see --help)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>layout</name>
    <message>
        <source>Не могу открыть файл!</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>Не могу получить контекст принтера!</source>
        <translation>cannot get the printer's device</translation>
    </message>
    <message>
        <source>Файл слишком велик!</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>Не хватает памяти!</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>Не могу открыть выходной файл!</source>
        <translation>cannot write the output file</translation>
    </message>
    <message>
        <source>Большой размер полей!</source>
        <translation>the margins are too large for the page</translation>
    </message>
    <message>
        <source>Ошибка открытия рисунка!</source>
        <translation>cannot open the picture</translation>
    </message>
    <message>
        <source>рисунок слишком велик</source>
        <translation>the picture is too large</translation>
    </message>
    <message>
        <source>это не рисунок BMP, или он повреждён</source>
        <translation>not a BMP picture, or a damaged one</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>not a regular file</translation>
    </message>
</context>
</TS>
