#pragma once

#include <QSet>
#include <QSplashScreen>
#include <QString>

#include "lumo_export.h"

/// A start-up splash screen that shows a version line and steps aside for the
/// application's own windows.
///
/// Built on a non-null picture, it masks out the picture's transparent parts,
/// shows "Version " (translated in the context QApplication) and the version
/// text in black in its lower left corner, and is on screen as soon as the
/// constructor returns. It filters the events of the whole application: while
/// any other top-level window (dialogs, main windows, menus, tool tips, ...)
/// that it saw appear is shown, it stays hidden; when the last of them is
/// hidden, it shows itself again. Built on a null picture it starts hidden and
/// only appears once such a window is hidden. Once finished (finish()), closed
/// or clicked away, it stays hidden; a plain hide() is not final.
///
/// The host owns the splash and ends its life with scheduleDeletion(). It has
/// no meta-object of its own and reports QSplashScreen's.
class LUMO_EXPORT QxSplashScreen : public QSplashScreen
{
public:
    /// Shows \a pixmap at once, unless it is null, with the line built from
    /// \a version; starts watching the application's windows in any case.
    QxSplashScreen(const QPixmap &pixmap, const QString &version);
    ~QxSplashScreen() override;

    /// With \a withVersion, returns "Version ", the version text and
    /// \a message run together with no separators; otherwise \a message as it
    /// is. Only builds the text: pass it to showMessage() to display it.
    QString buildMessage(const QString &message, bool withVersion) const;

    /// Stops watching the application's windows at once and deletes the splash
    /// when control next returns to the event loop.
    void scheduleDeletion();

    /// Hides or shows the splash on Show and Hide events of top-level windows;
    /// never stops an event (always returns false).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_version;
    // Identities only: the windows are neither owned nor ever dereferenced.
    QSet<QObject *> m_shownWindows;
    // Finished, closed or clicked away: stays hidden.
    bool m_dismissed = false;
};
