#include "QxSplashScreen.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>

QxSplashScreen::QxSplashScreen(const QPixmap &pixmap, const QString &version)
    : QSplashScreen(pixmap, Qt::WindowFlags())
    , m_version(version)
{
    if (!pixmap.isNull()) {
        setMask(pixmap.mask());
        showMessage(buildMessage(QString(), true), Qt::AlignLeft | Qt::AlignBottom, Qt::black);
        // The host goes on loading without returning to the event loop:
        // the picture and the version line must be on screen now.
        setVisible(true);
        repaint();
    }
    QCoreApplication::instance()->installEventFilter(this);
}

QxSplashScreen::~QxSplashScreen() = default;

QString QxSplashScreen::buildMessage(const QString &message, bool withVersion) const
{
    if (!withVersion)
        return message;
    return QApplication::translate("QApplication", "Version ") + m_version + message;
}

void QxSplashScreen::scheduleDeletion()
{
    QCoreApplication::instance()->removeEventFilter(this);
    deleteLater();
}

bool QxSplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    // finish() closes the splash and a click on it hides it: the user or the
    // host is done with it, and no window event may bring it back. A plain
    // hide() does not count, so the host can still put it aside for a while.
    if (watched == this
        && (event->type() == QEvent::Close || event->type() == QEvent::MouseButtonPress)) {
        m_dismissed = true;
        return false;
    }
    if (!watched || !watched->isWidgetType() || watched == this
        || !static_cast<QWidget *>(watched)->isWindow())
        return false;

    switch (event->type()) {
    case QEvent::Show:
        m_shownWindows.insert(watched);
        if (isVisible())
            setVisible(false);
        break;
    case QEvent::Hide:
        m_shownWindows.remove(watched);
        if (m_shownWindows.isEmpty() && !isVisible() && !m_dismissed)
            setVisible(true);
        break;
    default:
        break;
    }
    return false;
}
