#include "LumoDesignerPlugins.h"

#include "CollapsibleGroupBoxContainer.h"
#include "LumoWidgetPlugin.h"

#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>
#ifdef LUMO_WITH_WEBKIT
#include <lumo/QxWebView.h>
#endif

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

namespace {

QString geometry(int width, int height)
{
    return QStringLiteral("  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%1</width><height>%2</height></rect>\n"
                          "  </property>\n")
            .arg(width)
            .arg(height);
}

} // namespace

LumoDesignerPlugins::LumoDesignerPlugins(QObject *parent)
    : QObject(parent)
{
    QList<LumoWidgetDescription> descriptions;

    LumoWidgetDescription slider;
    slider.className = QStringLiteral("QxDoubleSlider");
    slider.iconText = QStringLiteral("DS");
    slider.toolTip = tr("A slider driven in floating-point values");
    slider.whatsThis = tr("A QSlider whose value, range and steps are doubles; emits "
                          "doubleValueChanged(double). A click beside the handle jumps there.");
    slider.defaultProperties
            = geometry(160, 22)
            + QStringLiteral(
                      "  <property name=\"orientation\"><enum>Qt::Horizontal</enum></property>\n");
    slider.create = [](QWidget *parent) { return new QxDoubleSlider(parent); };
    descriptions << slider;

    LumoWidgetDescription sliderSpinBox;
    sliderSpinBox.className = QStringLiteral("QxSliderSpinBox");
    sliderSpinBox.iconText = QStringLiteral("SS");
    sliderSpinBox.toolTip = tr("A slider and a spin box editing one value");
    sliderSpinBox.whatsThis = tr("A slider and a double spin box kept in step over a range set "
                                 "with setMin() and setMax(); emits valueChanged(double).");
    sliderSpinBox.defaultProperties = geometry(200, 22);
    sliderSpinBox.create = [](QWidget *parent) { return new QxSliderSpinBox(parent); };
    descriptions << sliderSpinBox;

    LumoWidgetDescription mail;
    mail.className = QStringLiteral("QxMailAddressEdit");
    mail.iconText = QStringLiteral("@");
    mail.toolTip = tr("A line edit for an e-mail address");
    mail.whatsThis = tr("Refuses what can never become an e-mail address; isValid() tells "
                        "whether the text is a complete one.");
    mail.defaultProperties = geometry(200, 24);
    mail.create = [](QWidget *parent) { return new QxMailAddressEdit(parent); };
    descriptions << mail;

    LumoWidgetDescription text;
    text.className = QStringLiteral("QxTextEditWithAutocompletion");
    text.iconText = QStringLiteral("Ab");
    text.toolTip = tr("A text editor that completes the word under the cursor");
    text.whatsThis = tr("Offers completions from getAllAdmissibleCompletion(), which a subclass "
                        "overrides; Ctrl+E opens the list on demand.");
    text.defaultProperties = geometry(240, 120);
    text.create = [](QWidget *parent) { return new QxTextEditWithAutocompletion(parent); };
    descriptions << text;

    LumoWidgetDescription box;
    box.className = QStringLiteral("QxCollapsibleGroupBox");
    box.iconText = QStringLiteral("GB");
    box.toolTip = tr("A group box whose contents fold away");
    box.whatsThis = tr("Unchecking the title check box hides the contents; they live in an "
                       "inner frame filled through addWidget().");
    box.isContainer = true;
    box.defaultProperties = geometry(240, 160)
            + QStringLiteral("  <property name=\"title\"><string>Section</string></property>\n"
                             "  <widget class=\"QWidget\" name=\"page\"/>\n");
    box.customWidgetXml = QStringLiteral(" <customwidgets>\n"
                                         "  <customwidget>\n"
                                         "   <class>QxCollapsibleGroupBox</class>\n"
                                         "   <extends>QGroupBox</extends>\n"
                                         "   <addpagemethod>addWidget</addpagemethod>\n"
                                         "  </customwidget>\n"
                                         " </customwidgets>\n");
    box.create = [](QWidget *parent) { return new QxCollapsibleGroupBox(parent); };
    box.initialize = [](QDesignerFormEditorInterface *core) {
        QExtensionManager *manager = core->extensionManager();
        manager->registerExtensions(new CollapsibleGroupBoxExtensionFactory(manager),
                                    Q_TYPEID(QDesignerContainerExtension));
    };
    descriptions << box;

    LumoWidgetDescription combo;
    combo.className = QStringLiteral("QxComboBoxEditor");
    combo.iconText = QStringLiteral("CB");
    combo.toolTip = tr("A combo box edited as one value, for item views");
    combo.whatsThis = tr("Its entries and selection are one QxComboBoxEditorState, the user "
                         "property \"state\" that item delegates read and write.");
    combo.defaultProperties = geometry(160, 24);
    combo.create = [](QWidget *parent) { return new QxComboBoxEditor(parent); };
    descriptions << combo;

#ifdef LUMO_WITH_WEBKIT
    LumoWidgetDescription web;
    web.className = QStringLiteral("QxWebView");
    web.iconText = QStringLiteral("W");
    web.toolTip = tr("A web view zoomable by keys and wheel");
    web.whatsThis = tr("A QWebView that zooms with the standard zoom keys and with the wheel "
                       "while a modifier is held.");
    web.defaultProperties = geometry(320, 240);
    web.create = [](QWidget *parent) { return new QxWebView(parent); };
    descriptions << web;
#endif

    for (const LumoWidgetDescription &description : descriptions)
        m_widgets << new LumoWidgetPlugin(description, this);
}
