#include "LumoDesignerPlugins.h"

#include "CollapsibleGroupBoxContainer.h"
#include "LumoWidgetPlugin.h"

#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxDoubleRangeSlider.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>
#ifdef LUMO_WITH_WEBVIEW
#include <lumo/QxWebView.h>
#endif

#include <QCoreApplication>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

namespace {

template<class Widget> QWidget *create(QWidget *parent)
{
    return new Widget(parent);
}

// Designer offers every property of the class hierarchy, shadowed ones
// included, and the dynamic properties an object has when it is created. The
// slider's floating-point state is edited through its double properties
// (value, minimum, ...) only: QAbstractSlider's integer ones would break the
// full integer range, and the dynamic copies ("maxDbl", ...) would be edited
// as the integer variants they start as and, written directly, bypass the
// setters (the knob and the integer steps would not follow). "numDecimals"
// stays: it is an integer, and setting it is all setPrecision() does.
void hideDoubleSliderState(QDesignerFormEditorInterface *core, QWidget *widget)
{
    if (!qobject_cast<QxDoubleSlider *>(widget))
        return;
    auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(core->extensionManager(), widget);
    if (!sheet)
        return;
    for (int index = 0; index < sheet->count(); ++index) {
        if (sheet->indexOf(sheet->propertyName(index)) != index)
            sheet->setVisible(index, false);
    }
    for (const char *name : { "valueDbl", "minDbl", "maxDbl", "singleStepDbl", "pageStepDbl" }) {
        const int index = sheet->indexOf(QLatin1String(name));
        if (index >= 0)
            sheet->setVisible(index, false);
    }
}

void watchDoubleSliders(QDesignerFormEditorInterface *core)
{
    QDesignerFormWindowManagerInterface *forms = core->formWindowManager();
    if (!forms)
        return;
    QObject::connect(forms, &QDesignerFormWindowManagerInterface::formWindowAdded, forms,
                     [core](QDesignerFormWindowInterface *form) {
                         QObject::connect(
                                 form, &QDesignerFormWindowInterface::widgetManaged, form,
                                 [core](QWidget *widget) { hideDoubleSliderState(core, widget); });
                     });
}

void registerGroupBoxContainer(QDesignerFormEditorInterface *core)
{
    QExtensionManager *manager = core->extensionManager();
    manager->registerExtensions(new CollapsibleGroupBoxExtensionFactory(manager),
                                Q_TYPEID(QDesignerContainerExtension));
}

struct Entry
{
    const char *className;
    const char *iconText;
    const char *toolTip;
    const char *whatsThis;
    int width;
    int height;
    /// Properties beyond the geometry, and for a container its first page.
    const char *properties;
    /// The <customwidgets> element of a container, naming its add-page method.
    const char *customWidgetXml;
    QWidget *(*create)(QWidget *parent);
    void (*initialize)(QDesignerFormEditorInterface *core);
};

// The texts are translated in the context "LumoDesignerPlugins".
#define LUMO_TR(text) QT_TRANSLATE_NOOP("LumoDesignerPlugins", text)

const Entry entries[] = {
    { "QxDoubleSlider", "DS", LUMO_TR("A slider driven in floating-point values"),
      LUMO_TR("A QSlider whose value, range and steps are doubles; emits "
              "doubleValueChanged(double). A click beside the handle jumps there."),
      160, 22, "  <property name=\"orientation\"><enum>Qt::Horizontal</enum></property>\n", nullptr,
      create<QxDoubleSlider>, watchDoubleSliders },
    { "QxDoubleRangeSlider", "RS",
      LUMO_TR("A slider with two handles selecting a range of doubles"),
      LUMO_TR("Two handles that never cross select lowerValue() to upperValue() within a double "
              "range; emits lowerValueChanged, upperValueChanged and valuesChanged."),
      160, 22, "", nullptr, create<QxDoubleRangeSlider>, nullptr },
    { "QxSliderSpinBox", "SS", LUMO_TR("A slider and a spin box editing one value"),
      LUMO_TR("A slider and a double spin box kept in step: value, range, decimals, steps, "
              "prefix, suffix and tracking are properties; emits valueChanged(double) and "
              "editingFinished()."),
      200, 22, "", nullptr, create<QxSliderSpinBox>, nullptr },
    { "QxTextEditWithAutocompletion", "Ab",
      LUMO_TR("A text editor that completes the word under the cursor"),
      LUMO_TR("Offers completions from getAllAdmissibleCompletion(), which a subclass "
              "overrides; Ctrl+E opens the list on demand."),
      240, 120, "", nullptr, create<QxTextEditWithAutocompletion>, nullptr },
    { "QxCollapsibleGroupBox", "GB", LUMO_TR("A group box whose contents fold away"),
      LUMO_TR("Unchecking the title check box hides the contents; they live in an inner "
              "frame filled through addWidget()."),
      240, 160,
      "  <property name=\"title\"><string>Section</string></property>\n"
      "  <widget class=\"QWidget\" name=\"page\"/>\n",
      " <customwidgets>\n"
      "  <customwidget>\n"
      "   <class>QxCollapsibleGroupBox</class>\n"
      "   <extends>QGroupBox</extends>\n"
      "   <addpagemethod>addWidget</addpagemethod>\n"
      "  </customwidget>\n"
      " </customwidgets>\n",
      create<QxCollapsibleGroupBox>, registerGroupBoxContainer },
    { "QxComboBoxEditor", "CB", LUMO_TR("A combo box edited as one value, for item views"),
      LUMO_TR("Its entries and selection are one QxComboBoxEditorState, the user property "
              "\"state\" that item delegates read and write."),
      160, 24, "", nullptr, create<QxComboBoxEditor>, nullptr },
#ifdef LUMO_WITH_WEBVIEW
    { "QxWebView", "W", LUMO_TR("A web view zoomable by keys and wheel"),
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
      LUMO_TR("A QWebEngineView that zooms with the standard zoom keys and with the wheel "
              "while a modifier is held."),
#else
      LUMO_TR("A QWebView that zooms with the standard zoom keys and with the wheel while a "
              "modifier is held."),
#endif
      320, 240, "", nullptr, create<QxWebView>, nullptr },
#endif
};

#undef LUMO_TR

} // namespace

LumoDesignerPlugins::LumoDesignerPlugins(QObject *parent)
    : QObject(parent)
{
    for (const Entry &entry : entries) {
        LumoWidgetDescription description;
        description.className = QLatin1String(entry.className);
        description.iconText = QString::fromUtf8(entry.iconText);
        description.toolTip = QCoreApplication::translate("LumoDesignerPlugins", entry.toolTip);
        description.whatsThis = QCoreApplication::translate("LumoDesignerPlugins", entry.whatsThis);
        description.defaultProperties = QStringLiteral("  <property name=\"geometry\">\n"
                                                       "   <rect><x>0</x><y>0</y><width>%1</width>"
                                                       "<height>%2</height></rect>\n"
                                                       "  </property>\n")
                                                .arg(entry.width)
                                                .arg(entry.height)
                + QLatin1String(entry.properties);
        description.isContainer = entry.customWidgetXml != nullptr;
        if (entry.customWidgetXml)
            description.customWidgetXml = QLatin1String(entry.customWidgetXml);
        description.create = entry.create;
        description.initialize = entry.initialize;
        m_widgets << new LumoWidgetPlugin(description, this);
    }
}
