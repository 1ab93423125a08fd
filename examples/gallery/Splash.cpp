#include "Splash.h"

#include <lumo/QxSplashScreen.h>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// One line of text, left-aligned and centred vertically in the rectangle.
void drawLine(QPainter &painter, const QRect &rect, const QString &text, int pixelSize, bool bold,
              const QColor &color)
{
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QPixmap splashPicture()
{
    const QSize size(480, 280);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    // Rounded corners: the transparent parts become the splash's mask.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(QPointF(0, 0), size), 18, 18);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(0xf4, 0xf8, 0xfc));
    sky.setColorAt(1.0, QColor(0xc9, 0xdd, 0xf0));
    painter.fillPath(outline, sky);

    // A few light rays from the upper right.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        QColor ray(0x2a, 0x6f, 0xb0, 22 + 6 * i);
        painter.setBrush(ray);
        const qreal spread = 38.0 + 22.0 * i;
        QPolygonF beam;
        beam << QPointF(size.width() - 40, 30)
             << QPointF(size.width() - 40 - spread * 3, size.height())
             << QPointF(size.width() - 40 - spread * 2.4, size.height());
        painter.drawPolygon(beam);
    }
    painter.setBrush(QColor(0xff, 0xc8, 0x3d));
    painter.drawEllipse(QPointF(size.width() - 40, 30), 16, 16);

    drawLine(painter, QRect(36, 60, 400, 90), QStringLiteral("lumo"), 72, true,
             QColor(0x1c, 0x4f, 0x80));
    drawLine(painter, QRect(40, 150, 400, 30), QStringLiteral("Qt widgets and small services"), 18,
             false, QColor(0x33, 0x33, 0x33));
    painter.end();
    return pixmap;
}

QxSplashScreen *showSplash(const QString &version)
{
    return new QxSplashScreen(splashPicture(), version);
}
