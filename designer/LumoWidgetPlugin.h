#pragma once

#include <QIcon>
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

/// What Qt Designer needs to know about one widget class of the library.
struct LumoWidgetDescription
{
    QString className;
    QString toolTip;
    QString whatsThis;
    /// One or two characters drawn on the widget box icon.
    QString iconText;
    /// The inside of the <widget> element Designer creates the widget from:
    /// properties, and for a container its first page.
    QString defaultProperties;
    /// Extra DOM XML after the <widget> element (<customwidgets> for a container).
    QString customWidgetXml;
    bool isContainer = false;
    std::function<QWidget *(QWidget *parent)> create;
    /// Run once when Designer loads the plugin: registers extensions.
    std::function<void(QDesignerFormEditorInterface *core)> initialize;
};

/// One widget class offered in Designer's widget box, in the group "lumo".
class LumoWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    LumoWidgetPlugin(const LumoWidgetDescription &description, QObject *parent);

    QString name() const override { return m_description.className; }
    QString group() const override { return QStringLiteral("lumo"); }
    QString toolTip() const override { return m_description.toolTip; }
    QString whatsThis() const override { return m_description.whatsThis; }
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return m_description.isContainer; }
    QWidget *createWidget(QWidget *parent) override { return m_description.create(parent); }
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    LumoWidgetDescription m_description;
    bool m_initialized = false;
};
