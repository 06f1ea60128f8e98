<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>FileErrors</name>
    <message>
        <source>File read error:</source>
        <translation>Ошибка чтения файа: </translation>
    </message>
    <message>
        <source>File write error:</source>
        <translation>Ошибка записи файа: </translation>
    </message>
    <message>
        <source>Create file error: </source>
        <translation>Ошибка создания файла: </translation>
    </message>
    <message>
        <source>Open file error: </source>
        <translation>Ошибка открытия файла: </translation>
    </message>
    <message>
        <source>Delete file error: </source>
        <translation>Ошибка удаления файла: </translation>
    </message>
    <message>
        <source>Incorrect data base version: </source>
        <translation>Неверная версия файла базы данных: </translation>
    </message>
    <message>
        <source>The database file has an unknown format: </source>
        <translation>Файл базы данных имеет неизвестный формат: </translation>
    </message>
    <message>
        <source>Error: </source>
        <translation>Ошибка: </translation>
    </message>
    <message>
        <source>No free space on a disk </source>
        <translation>Не достаточно свободного места на диске </translation>
    </message>
    <message>
        <source>. Cleanup a disk and press repeat operation.</source>
        <translation>. Освободите диск и нажмите повторить операцию.</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Cannot create </source>
        <translation>Невозможно создать каталог </translation>
    </message>
</context>
</TS>
