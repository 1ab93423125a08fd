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
    <name>QxDoubleRangeSlider</name>
    <message>
        <source>Lower value</source>
        <translation>Unterer Wert</translation>
    </message>
    <message>
        <source>Upper value</source>
        <translation>Oberer Wert</translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <translation>%1 – %2</translation>
    </message>
</context>
<context>
    <name>QxDoubleSlider</name>
    <message>
        <source>Moves the slider a page up</source>
        <translation>Bewegt den Schieberegler eine Seite nach oben</translation>
    </message>
    <message>
        <source>Moves the slider a page down</source>
        <translation>Bewegt den Schieberegler eine Seite nach unten</translation>
    </message>
</context>
<context>
    <name>QxSliderSpinBox</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Slider</source>
        <translation>Schieberegler</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
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
