<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QApplication</name>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
</context>
<context>
    <name>QxSliderSpinBox</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>QxSnapWidget</name>
    <message>
        <source>Snapshot written in</source>
        <translation>Schnappschuss gespeichert in</translation>
    </message>
</context>
<context>
    <name>QxTextEditWithAutocompletion</name>
    <message>
        <source>Here is the text that will be autocompleted.</source>
        <translation>Hier steht der Text, der automatisch vervollständigt wird.</translation>
    </message>
</context>
</TS>
