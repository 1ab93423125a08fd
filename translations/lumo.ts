<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>QApplication</name>
    <message>
        <source>Version </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QxDoubleRangeSlider</name>
    <message>
        <source>Lower value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upper value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QxDoubleSlider</name>
    <message>
        <source>Moves the slider a page up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moves the slider a page down</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QxSliderSpinBox</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slider</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Value</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QxSnapWidget</name>
    <message>
        <source>Snapshot written in</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QxTextEditWithAutocompletion</name>
    <message>
        <source>Here is the text that will be autocompleted.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
