#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

/// The Qt Designer plugin of lumo: the library's widget classes in the widget
/// box group "lumo", for Designer, uic and QUiLoader.
///
/// QxMailAddressEdit is not offered: it has no meta-object of its own, so
/// Designer would report a class name mismatch and save it as a QLineEdit. Use
/// it through promotion instead: place a QLineEdit, choose "Promote to ..."
/// from its context menu, and enter the class name QxMailAddressEdit, the
/// header file lumo/QxMailAddressEdit.h and "Global include". uic then
/// creates a QxMailAddressEdit; QUiLoader cannot create promoted classes and
/// gives a QLineEdit.
///
/// Forms loaded at run time through QUiLoader find the plugin only where Qt
/// looks for plugins: set QT_PLUGIN_PATH to the folder above designer/, or call
/// QUiLoader::addPluginPath() with the folder that holds the plugin itself.
/// Without it QUiLoader silently builds the base classes (QSlider, ...).
class LumoDesignerPlugins : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
public:
    explicit LumoDesignerPlugins(QObject *parent = nullptr);

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};
