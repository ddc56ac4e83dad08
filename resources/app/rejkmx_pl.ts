<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Our own Polish texts for Qt's dialogs, loaded after Qt's qtbase_pl, so each
     entry here takes the place of Qt's. -->
<TS version="2.1" language="pl_PL">
<context>
    <name>QPrintSettingsOutput</name>
    <message>
        <!-- Qt's "Wybrane strony" reads as a choice of pages; this prints the selected text. -->
        <source>Selection</source>
        <translation>Zaznaczenie</translation>
    </message>
</context>
</TS>
