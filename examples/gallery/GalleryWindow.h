#pragma once

#include <QList>
#include <QMainWindow>

class GalleryPage;
class QListWidget;
class QStackedWidget;

/// The gallery's main window: a list of pages on the left, the current page on the right.
class GalleryWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget *parent = nullptr);

    /// Appends \a page; the window takes ownership.
    void addPage(GalleryPage *page);
    QList<GalleryPage *> pages() const { return m_pages; }
    /// The page called \a name (GalleryPage::name()), or null.
    GalleryPage *page(const QString &name) const;
    GalleryPage *currentPage() const;
    void showPage(GalleryPage *page);

signals:
    void currentPageChanged(GalleryPage *page);

private:
    QListWidget *m_index;
    QStackedWidget *m_stack;
    QList<GalleryPage *> m_pages;
};
