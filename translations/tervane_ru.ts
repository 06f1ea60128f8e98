<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Tervane, version %1</source>
        <translation>Tervane, версия %1</translation>
    </message>
    <message>
        <source>Key base editor for Orvel programmers</source>
        <translation>Редактор баз ключей для программаторов Orvel</translation>
    </message>
    <message>
        <source>© Orvel. All rights reserved.</source>
        <translation>© Orvel. Все права защищены.</translation>
    </message>
    <message>
        <source>Web site:</source>
        <translation>Сайт программы:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>BaseBackup</name>
    <message>
        <source>The key base is saved, but its previous version was not kept as a backup. %1</source>
        <translation>База ключей записана, но резервная копия её прежней версии не сделана. %1</translation>
    </message>
</context>
<context>
    <name>CardNumbers</name>
    <message>
        <source>DEZ 10: %1</source>
        <translation>Дес. 10: %1</translation>
    </message>
    <message>
        <source>DEZ 8: %1</source>
        <translation>Дес. 8: %1</translation>
    </message>
    <message>
        <source>DEZ 3.5C: %1</source>
        <translation>Дес. 3.5C: %1</translation>
    </message>
    <message>
        <source>DEZ 5.5: %1</source>
        <translation>Дес. 5.5: %1</translation>
    </message>
    <message>
        <source>DEZ 14: %1</source>
        <translation>Дес. 14: %1</translation>
    </message>
</context>
<context>
    <name>Device</name>
    <message>
        <source>Data transfer error.</source>
        <translation>Ошибка передачи данных.</translation>
    </message>
    <message>
        <source>Found: Unknown device.</source>
        <translation>Найден: Неопознанное устройство.</translation>
    </message>
    <message>
        <source>Connection is impossible.</source>
        <translation>Подключение невозможно.</translation>
    </message>
    <message>
        <source>Need %1 Lark version 3.82 and above.</source>
        <translation>Необходим %1 Lark версии 3.82 и выше.</translation>
    </message>
    <message>
        <source>Need %1 Wren version 1.10 and above.</source>
        <translation>Необходим %1 Wren версии 1.10 и выше.</translation>
    </message>
    <message>
        <source>Need %1 Kestrel version 1.36 and above.</source>
        <translation>Необходим %1 Kestrel версии 1.36 и выше.</translation>
    </message>
    <message>
        <source>Found %1</source>
        <translation>Найден %1</translation>
    </message>
    <message>
        <source>Work mode: %1 v%2 (Online)</source>
        <translation>Режим работы: %1 v%2 (Подключен)</translation>
    </message>
    <message>
        <source>Work mode: %1 (Offline)</source>
        <translation>Режим работы: %1 (Отключен)</translation>
    </message>
    <message>
        <source>Repeating data transfer: %1</source>
        <translation>Повтор передачи данных: %1</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>Data Base</source>
        <translation>База Данных</translation>
    </message>
    <message>
        <source>Save changes in &quot;%1&quot; ?</source>
        <translation>Сохранить изменения в &quot;%1&quot; ?</translation>
    </message>
    <message>
        <source>File &quot;%1&quot; is already opened. Open file again ?</source>
        <translation>Файл &quot;%1&quot; уже открыт. Открыть файл заново ?</translation>
    </message>
</context>
<context>
    <name>EditSteps</name>
    <message>
        <source>Edit key</source>
        <translation>Изменение ключа</translation>
    </message>
    <message>
        <source>Edit comment</source>
        <translation>Изменение комментария</translation>
    </message>
</context>
<context>
    <name>FileErrors</name>
    <message>
        <source>File read error:&quot;%1&quot;</source>
        <translation>Ошибка чтения файа: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>File write error:&quot;%1&quot;</source>
        <translation>Ошибка записи файа: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Create file error: &quot;%1&quot;</source>
        <translation>Ошибка создания файла: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Open file error: &quot;%1&quot;</source>
        <translation>Ошибка открытия файла: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Delete file error: &quot;%1&quot;</source>
        <translation>Ошибка удаления файла: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Incorrect data base version: &quot;%1&quot;</source>
        <translation>Неверная версия файла базы данных: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The database file has an unknown format: &quot;%1&quot;</source>
        <translation>Файл базы данных имеет неизвестный формат: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Error: %1.</source>
        <translation>Ошибка: %1.</translation>
    </message>
    <message>
        <source>No free space on a disk %1. Cleanup a disk and press repeat operation.</source>
        <translation>Не достаточно свободного места на диске %1. Освободите диск и нажмите повторить операцию.</translation>
    </message>
</context>
<context>
    <name>FlipperFiles</name>
    <message>
        <source>The cell holds no key.</source>
        <translation>В ячейке нет ключа.</translation>
    </message>
    <message>
        <source>%1 keys cannot be stored in a Flipper file: the Flipper Zero has no key type that matches them exactly.</source>
        <translation>Ключи %1 нельзя сохранить в файл Flipper: у Flipper Zero нет типа ключей, который в точности им соответствует.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a Flipper key file.</source>
        <translation>&quot;%1&quot; не является файлом ключа Flipper.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a Flipper key file of version %2, which this program cannot read.</source>
        <translation>&quot;%1&quot; - файл ключа Flipper версии %2, которую программа не умеет читать.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no &quot;%2&quot; line.</source>
        <translation>В файле &quot;%1&quot; нет строки &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds a key of type &quot;%2&quot;, which a key base cannot hold.</source>
        <translation>Файл &quot;%1&quot; содержит ключ типа &quot;%2&quot;, который нельзя хранить в базе ключей.</translation>
    </message>
    <message>
        <source>The &quot;%2&quot; line of &quot;%1&quot; does not hold hexadecimal bytes.</source>
        <translation>Строка &quot;%2&quot; файла &quot;%1&quot; не содержит шестнадцатеричных байтов.</translation>
    </message>
    <message>
        <source>The &quot;%2&quot; line of &quot;%1&quot; holds %3 bytes where %4 are needed.</source>
        <translation>Строка &quot;%2&quot; файла &quot;%1&quot; содержит байтов: %3, а нужно: %4.</translation>
    </message>
    <message>
        <source>Line %2 of &quot;%1&quot; is not a &quot;Key: value&quot; line.</source>
        <translation>Строка %2 файла &quot;%1&quot; не имеет вида &quot;Ключ: значение&quot;.</translation>
    </message>
    <message>
        <source>Select a key cell, in one of the columns Key 1 to Key 6.</source>
        <translation>Выберите ячейку ключа в одном из столбцов с Ключ 1 по Ключ 6.</translation>
    </message>
    <message>
        <source>The cell already holds a key. Replace it with the key of the file?</source>
        <translation>В ячейке уже есть ключ. Заменить его ключом из файла?</translation>
    </message>
    <message>
        <source>The page holds no key that a Flipper file can hold.</source>
        <translation>На странице нет ключей, которые можно сохранить в файл Flipper.</translation>
    </message>
    <message>
        <source>Key files written to &quot;%1&quot;: %2.</source>
        <translation>Записано файлов ключей в папку &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>Keys left out, as the Flipper Zero has no counterpart for HID Prox II, Indala and keys of unknown type: %1.</source>
        <translation>Пропущено ключей, для которых на Flipper Zero нет соответствия (HID Prox II, Indala и ключи неизвестного типа): %1.</translation>
    </message>
</context>
<context>
    <name>FindDialog</name>
    <message>
        <source>Find</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Учитывать регистр</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Search is completed.</source>
        <translation>Поиск завершен.</translation>
    </message>
    <message>
        <source>String &quot;%1&quot; not found.</source>
        <translation>Строка &quot;%1&quot; не найдена.</translation>
    </message>
</context>
<context>
    <name>GridMenu</name>
    <message>
        <source>C&amp;ut</source>
        <translation>В&amp;ырезать</translation>
    </message>
    <message>
        <source>Co&amp;py</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>P&amp;aste</source>
        <translation>Вст&amp;авить</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>У&amp;далить</translation>
    </message>
    <message>
        <source>&amp;Select all</source>
        <translation>&amp;Выделить все</translation>
    </message>
    <message>
        <source>&amp;Read keys</source>
        <translation>&amp;Считать ключи</translation>
    </message>
    <message>
        <source>&amp;Write keys</source>
        <translation>&amp;Записать заготовки</translation>
    </message>
    <message>
        <source>Export to Flipper file...</source>
        <translation>Экспорт в файл Flipper...</translation>
    </message>
    <message>
        <source>Import from Flipper file...</source>
        <translation>Импорт из файла Flipper...</translation>
    </message>
    <message>
        <source>Export page to Flipper files...</source>
        <translation>Экспорт страницы в файлы Flipper...</translation>
    </message>
</context>
<context>
    <name>HttpFetch</name>
    <message>
        <source>The server does not respond.</source>
        <translation>Сервер не отвечает.</translation>
    </message>
    <message>
        <source>Access to a server is closed.</source>
        <translation>Доступ к серверу закрыт.</translation>
    </message>
</context>
<context>
    <name>KeyCsv</name>
    <message>
        <source>a quoted field is not closed</source>
        <translation>поле в кавычках не закрыто</translation>
    </message>
    <message>
        <source>a character follows the closing quote of a field</source>
        <translation>за закрывающей кавычкой поля стоит символ</translation>
    </message>
    <message>
        <source>the text is not UTF-8</source>
        <translation>текст не в кодировке UTF-8</translation>
    </message>
    <message>
        <source>fields: %1, where the header has 8</source>
        <translation>полей: %1, а в заголовке их 8</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a page number</source>
        <translation>&quot;%1&quot; не номер страницы</translation>
    </message>
    <message>
        <source>page %1 does not exist: pages in the key base: %2</source>
        <translation>страницы %1 нет: страниц в базе ключей: %2</translation>
    </message>
    <message>
        <source>the path &quot;%1&quot; is not that of page %2, &quot;%3&quot;</source>
        <translation>путь &quot;%1&quot; не путь страницы %2, &quot;%3&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a row from 0 to 499</source>
        <translation>&quot;%1&quot; не номер строки от 0 до 499</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key column from 1 to 6</source>
        <translation>&quot;%1&quot; не номер столбца ключа от 1 до 6</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key type: 1, 2, 3, 4, 128, 129, 130 or 131</source>
        <translation>&quot;%1&quot; не тип ключа: 1, 2, 3, 4, 128, 129, 130 или 131</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a code of 16 hex digits</source>
        <translation>&quot;%1&quot; не код из 16 шестнадцатеричных цифр</translation>
    </message>
    <message>
        <source>a line without a column cannot hold a key</source>
        <translation>в строке без столбца не может быть ключа</translation>
    </message>
    <message>
        <source>a key needs both a type and a code</source>
        <translation>ключу нужны и тип, и код</translation>
    </message>
    <message>
        <source>the comment holds a character that Windows-1251 cannot hold</source>
        <translation>в комментарии есть символ, которого нет в Windows-1251</translation>
    </message>
    <message>
        <source>the comment is longer than 128 characters</source>
        <translation>комментарий длиннее 128 символов</translation>
    </message>
    <message>
        <source>the cell is named again (first on line %1)</source>
        <translation>ячейка названа повторно (впервые в строке %1)</translation>
    </message>
    <message>
        <source>the row&apos;s comment differs from line %1&apos;s</source>
        <translation>комментарий строки страницы не тот, что в строке %1</translation>
    </message>
    <message>
        <source>the first line is not the header path,page,row,column,type,code,text,comment</source>
        <translation>первая строка не заголовок path,page,row,column,type,code,text,comment</translation>
    </message>
    <message>
        <source>Line %1: %2.</source>
        <translation>Строка %1: %2.</translation>
    </message>
    <message>
        <source>Export only the page shown? No exports every page of the key base.</source>
        <translation>Экспортировать только показанную страницу? &quot;Нет&quot; экспортирует все страницы базы ключей.</translation>
    </message>
    <message>
        <source>Nothing was imported from &quot;%1&quot;.</source>
        <translation>Из &quot;%1&quot; ничего не импортировано.</translation>
    </message>
    <message>
        <source>Imported from &quot;%1&quot;. Key cells: %2; row comments: %3; pages: %4.</source>
        <translation>Импортировано из &quot;%1&quot;. Ячеек ключей: %2; комментариев строк: %3; страниц: %4.</translation>
    </message>
</context>
<context>
    <name>KeyEditorDialog</name>
    <message>
        <source>Create key.</source>
        <translation>Создание ключа.</translation>
    </message>
    <message>
        <source>Edit key.</source>
        <translation>Редактирование ключа.</translation>
    </message>
    <message>
        <source>Key type</source>
        <translation>Тип ключа</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>     CRC - auto</source>
        <translation>CRC - автомат</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Скорость:</translation>
    </message>
</context>
<context>
    <name>KeyGrid</name>
    <message>
        <source> Comment</source>
        <translation> Комментарий</translation>
    </message>
    <message>
        <source> Key %1</source>
        <translation> Ключ %1</translation>
    </message>
</context>
<context>
    <name>KeySearchDialog</name>
    <message>
        <source>Find key</source>
        <translation>Найти ключ</translation>
    </message>
    <message>
        <source>Code:</source>
        <translation>Код:</translation>
    </message>
    <message>
        <source>All key types</source>
        <translation>Все типы ключей</translation>
    </message>
    <message>
        <source>EM410x card number (DEZ 10, DEZ 8 or 051.17493)</source>
        <translation>Номер карты EM410x (DEZ 10, DEZ 8 или 051.17493)</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Идёт поиск...</translation>
    </message>
    <message>
        <source>No key found.</source>
        <translation>Ключ не найден.</translation>
    </message>
    <message>
        <source>Keys found: %1</source>
        <translation>Найдено ключей: %1</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>Строка</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Ключ</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Код</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>Импорт...</translation>
    </message>
    <message>
        <source>CSV...</source>
        <translation>CSV...</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Экспорт...</translation>
    </message>
    <message>
        <source>VIZIT_DM  (*.viz) as DALLAS</source>
        <translation>VIZIT_DM  (*.viz) как DALLAS</translation>
    </message>
    <message>
        <source>VIZIT_DM  (*.viz) as CYFRAL</source>
        <translation>VIZIT_DM  (*.viz) как CYFRAL</translation>
    </message>
    <message>
        <source>VIZIT_DM  (*.viz) as TM2002</source>
        <translation>VIZIT_DM  (*.viz) как TM2002</translation>
    </message>
    <message>
        <source>VIZIT_DM  (*.viz) as EM410x</source>
        <translation>VIZIT_DM  (*.viz) как EM410x</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выделить все</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Find next</source>
        <translation>Найти далее</translation>
    </message>
    <message>
        <source>Find key...</source>
        <translation>Найти ключ...</translation>
    </message>
    <message>
        <source>Find the presented key</source>
        <translation>Найти приложенный ключ</translation>
    </message>
    <message>
        <source>&amp;Keys</source>
        <translation>&amp;Ключи</translation>
    </message>
    <message>
        <source>Read keys</source>
        <translation>Считать ключи</translation>
    </message>
    <message>
        <source>Write keys</source>
        <translation>Записать заготовки</translation>
    </message>
    <message>
        <source>Lock key</source>
        <translation>Финализировать</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Утилиты</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Настройки программы</translation>
    </message>
    <message>
        <source>Download update from Internet</source>
        <translation>Скачать обновление из Интернет</translation>
    </message>
    <message>
        <source>Import key base from device</source>
        <translation>Импорт базы ключей из прибора</translation>
    </message>
    <message>
        <source>Export key base to device</source>
        <translation>Экспорт базы ключей в прибор</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Help Topics</source>
        <translation>Содержание</translation>
    </message>
    <message>
        <source>Web-page</source>
        <translation>Web-ст&amp;раница</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Отменить «%1»</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Повторить «%1»</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>No files opened...</source>
        <translation>Нет открытых файлов...</translation>
    </message>
    <message>
        <source>Used: </source>
        <translation>Занято: </translation>
    </message>
    <message>
        <source>Free: </source>
        <translation>Свободно: </translation>
    </message>
    <message>
        <source>Total: </source>
        <translation>Всего: </translation>
    </message>
</context>
<context>
    <name>OperationDialog</name>
    <message>
        <source>Find the presented key</source>
        <translation>Найти приложенный ключ</translation>
    </message>
    <message>
        <source>Writing:</source>
        <translation>Записывается:</translation>
    </message>
    <message>
        <source>Operation result:</source>
        <translation>Результат операции:</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Следующий</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Завершить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Keys reading</source>
        <translation>Чтение ключей</translation>
    </message>
    <message>
        <source>Keys writing</source>
        <translation>Запись заготовок</translation>
    </message>
    <message>
        <source>Lock key</source>
        <translation>Финализация ключа</translation>
    </message>
    <message>
        <source>Downloading database.</source>
        <translation>Чтение базы ключей.</translation>
    </message>
    <message>
        <source>Uploading database.</source>
        <translation>Запись базы ключей.</translation>
    </message>
    <message>
        <source>Waiting...</source>
        <translation>Ожидание...</translation>
    </message>
    <message>
        <source>Data transfer error.</source>
        <translation>Ошибка передачи данных.</translation>
    </message>
    <message>
        <source>The key is successfully written.</source>
        <translation>Ключ успешно записан.</translation>
    </message>
    <message>
        <source>Error - Data transfer is interrupted.</source>
        <translation>Ошибка - Передача данных прервана.</translation>
    </message>
    <message>
        <source>Write operation is cancelled.</source>
        <translation>Операция записи отменена.</translation>
    </message>
    <message>
        <source>Error - The code is already written.</source>
        <translation>Ошибка - Такой код уже записан на ключ.</translation>
    </message>
    <message>
        <source>Error - It is impossible to complete operation.</source>
        <translation>Ошибка - Невозможно выполнить операцию.</translation>
    </message>
    <message>
        <source>Error - Wrong type device.</source>
        <translation>Ошибка - Заготовка не подходит.</translation>
    </message>
    <message>
        <source>Write error.</source>
        <translation>Ошибка записи.</translation>
    </message>
    <message>
        <source>    Key: %1</source>
        <translation>Ключ: %1</translation>
    </message>
    <message>
        <source> Code: %1</source>
        <translation>  Код: %1</translation>
    </message>
</context>
<context>
    <name>OperationDialogLock</name>
    <message>
        <source>The key is successfully locked.</source>
        <translation>Ключ успешно финализирован.</translation>
    </message>
    <message>
        <source>Error - Data transfer is interrupted.</source>
        <translation>Ошибка - передача данных прервана.</translation>
    </message>
    <message>
        <source>Lock operation is cancelled.</source>
        <translation>Операция финализации отменена.</translation>
    </message>
    <message>
        <source>Error - It is impossible to complete operation.</source>
        <translation>Ошибка - невозможно выполнить операцию.</translation>
    </message>
    <message>
        <source>Error of locking.</source>
        <translation>Ошибка финализации.</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Save automatically</source>
        <translation>Автоматически сохранять</translation>
    </message>
    <message>
        <source>Request operation</source>
        <translation>Запрашивать действие</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Не сохранять</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Полностью</translation>
    </message>
    <message>
        <source>Short</source>
        <translation>Сокращенно</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Не отображать</translation>
    </message>
    <message>
        <source>classic</source>
        <translation>обычный</translation>
    </message>
    <message>
        <source>italic</source>
        <translation>курсив</translation>
    </message>
    <message>
        <source>bold</source>
        <translation>жирный</translation>
    </message>
    <message>
        <source>bold italic</source>
        <translation>жирный курсив</translation>
    </message>
    <message>
        <source>Auto/Авто</source>
        <translation>Auto/Авто</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Руский</source>
        <translation>Руский</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Preferens</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Редактор</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Шрифт</translation>
    </message>
    <message>
        <source>Skin:</source>
        <translation>Скин программы:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Язык программы:</translation>
    </message>
    <message>
        <source>Saving of the changed files:</source>
        <translation>Сохранение измененных файлов:</translation>
    </message>
    <message>
        <source>Key type:</source>
        <translation>Тип ключа:</translation>
    </message>
    <message>
        <source>Key code:</source>
        <translation>Код ключа:</translation>
    </message>
    <message>
        <source>Speed EM410x</source>
        <translation>Скорость EM410x</translation>
    </message>
    <message>
        <source>CRC DS1990A</source>
        <translation>CRC DS1990A</translation>
    </message>
    <message>
        <source>Visible</source>
        <translation>Отображать</translation>
    </message>
    <message>
        <source>Font propertes</source>
        <translation>Настройки шрифта</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Style:</source>
        <translation>Начертание:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Размер:</translation>
    </message>
    <message>
        <source>Tervane</source>
        <translation>Tervane</translation>
    </message>
    <message>
        <source>Saving of key bases:</source>
        <translation>Сохранение баз ключей:</translation>
    </message>
    <message>
        <source>Keep a backup of the key base when saving</source>
        <translation>Делать резервную копию базы ключей при сохранении</translation>
    </message>
    <message>
        <source>The files a save replaces are kept beside the key base as &quot;&lt;name&gt;-backup.dir&quot; and &quot;&lt;name&gt;-backup.dat&quot;.</source>
        <translation>Файлы, которые заменяет сохранение, остаются рядом с базой ключей как &quot;&lt;имя&gt;-backup.dir&quot; и &quot;&lt;имя&gt;-backup.dat&quot;.</translation>
    </message>
</context>
<context>
    <name>OptionsSkinList</name>
    <message>
        <source>Disabled</source>
        <translation>Отключен</translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Cannot create &quot;%1&quot;</source>
        <translation>Невозможно создать каталог &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>ToolTips</name>
    <message>
        <source>Create new file</source>
        <translation>Создать файл</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>Close file</source>
        <translation>Закрыть файл</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Find next</source>
        <translation>Найти далее</translation>
    </message>
    <message>
        <source>Read keys</source>
        <translation>Считать ключи</translation>
    </message>
    <message>
        <source>Write keys</source>
        <translation>Записать заготовки</translation>
    </message>
    <message>
        <source>Lock key</source>
        <translation>Финализировать заготовку</translation>
    </message>
    <message>
        <source>Disable show of null strings in the table</source>
        <translation>Отключить показ пустых строк в таблице</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Отменить «%1»</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Повторить «%1»</translation>
    </message>
</context>
<context>
    <name>TreeEditing</name>
    <message>
        <source>Filder &quot;%1&quot; contains files, to delete all contents ?</source>
        <translation>Папка &quot;%1&quot; содержит файлы, удалить все содержимое ?</translation>
    </message>
    <message>
        <source>You are assured that wish to delete the selected files ?</source>
        <translation>Вы уверены что хотите удалить выбранные файлы ?</translation>
    </message>
</context>
<context>
    <name>TreeMenu</name>
    <message>
        <source>Create file</source>
        <translation>Создать файл</translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation>Создать папку</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>UndoController</name>
    <message>
        <source>The edit could not be replayed; the undo history was cleared.</source>
        <translation>Правку не удалось отменить или повторить; история правок очищена.</translation>
    </message>
</context>
<context>
    <name>Update</name>
    <message>
        <source>Connection to a server...</source>
        <translation>Подключение к серверу...</translation>
    </message>
    <message>
        <source>Update is not found.</source>
        <translation>Обновлений не найденно.</translation>
    </message>
    <message>
        <source>Error in versions list.</source>
        <translation>Ошибка в списке версий.</translation>
    </message>
    <message>
        <source>Updating for the program &quot;Tervane&quot; is found.</source>
        <translation>Найдено обновление для программы &quot;Tervane&quot;.</translation>
    </message>
    <message>
        <source>To instal updating ?</source>
        <translation>Установить обновление ?</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Обновление ПО</translation>
    </message>
    <message>
        <source>Updating is interrupted.</source>
        <translation>Обновление прервано.</translation>
    </message>
    <message>
        <source>Loading updatings...</source>
        <translation>Загрузка обновлений...</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Ошибка: %1</translation>
    </message>
    <message>
        <source>Error: The file is not found.</source>
        <translation>Ошибка: Файл не найден.</translation>
    </message>
    <message>
        <source>Save file: &quot;%1&quot;</source>
        <translation>Cохранение файла: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Cannot create &quot;%1&quot;</source>
        <translation>Невозможно создать каталог &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The file: &quot;%1&quot; is saved.</source>
        <translation>Файл: &quot;%1&quot; сохранен.</translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation>%1 из %2 байт</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 байт</translation>
    </message>
</context>
</TS>
