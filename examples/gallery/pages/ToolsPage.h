#pragma once

#include "GalleryPage.h"

class GalleryWindow;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

/// The application-support helpers at work on the gallery itself: snapshots
/// of any page under a unique file name, text replacement over a page, a
/// connection tracker, and the splash screen.
class ToolsPage : public GalleryPage
{
    Q_OBJECT
public:
    ToolsPage(GalleryWindow *window, const QString &version, QWidget *parent = nullptr);

    /// Writes a snapshot of \a page into the snapshot folder under a name that
    /// is not taken yet; the report line goes to the log. Returns the file name.
    QString snapshot(GalleryPage *page);
    /// Replaces \a before by \a after in the titles, tool tips, labels and buttons of \a page.
    void replace(GalleryPage *page, const QString &before, const QString &after);

    QPlainTextEdit *log() const { return m_log; }

    /// Runs the tracker demonstration once: connect, ping, toggle, cut, ping.
    void prepareSnapshot() override;
    QLineEdit *snapshotFolder() const { return m_folder; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *createPageToolsGroup();
    QGroupBox *createTrackerGroup();
    GalleryPage *targetPage() const;
    void flushLog();

    GalleryWindow *m_window;
    QString m_version;
    QComboBox *m_target;
    QLineEdit *m_folder;
    QLineEdit *m_before;
    QLineEdit *m_after;
    QPlainTextEdit *m_log;
    QString m_logText;
};
