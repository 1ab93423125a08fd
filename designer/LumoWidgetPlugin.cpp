#include "LumoWidgetPlugin.h"

#include <QPainter>
#include <QPixmap>

LumoWidgetPlugin::LumoWidgetPlugin(const LumoWidgetDescription &description, QObject *parent)
    : QObject(parent)
    , m_description(description)
{
}

QString LumoWidgetPlugin::includeFile() const
{
    return QStringLiteral("lumo/%1.h").arg(m_description.className);
}

QIcon LumoWidgetPlugin::icon() const
{
    // Drawn rather than shipped: one look for the whole group, the class's
    // initials telling the widgets apart.
    QIcon icon;
    for (int size : { 16, 22, 32 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2a, 0x6f, 0xb0));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 5.0, size / 5.0);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(size * 11 / 20);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, m_description.iconText);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void LumoWidgetPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (m_initialized)
        return;
    if (m_description.initialize)
        m_description.initialize(core);
    m_initialized = true;
}

QString LumoWidgetPlugin::domXml() const
{
    // The object name Designer gives a new widget: the class name without "Qx",
    // first letter lower case ("doubleSlider").
    QString objectName = m_description.className.mid(2);
    objectName[0] = objectName.at(0).toLower();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n%3 </widget>\n%4"
                          "</ui>\n")
            .arg(m_description.className, objectName, m_description.defaultProperties,
                 m_description.customWidgetXml);
}
