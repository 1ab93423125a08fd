#include "Splash.h"

#include <lumo/QxSplashScreen.h>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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

    QFont title = painter.font();
    title.setPixelSize(72);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x1c, 0x4f, 0x80));
    painter.drawText(QRect(36, 60, 400, 90), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("lumo"));
    QFont subtitle = painter.font();
    subtitle.setPixelSize(18);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(QRect(40, 150, 400, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Qt widgets and small services"));
    painter.end();
    return pixmap;
}

QxSplashScreen *showSplash(const QString &version)
{
    return new QxSplashScreen(splashPicture(), version);
}
