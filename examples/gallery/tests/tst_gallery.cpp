#include "AboutPage.h"
#include "Gallery.h"
#include "GalleryPage.h"
#include "GalleryWindow.h"
#include "LumoPackage.h"

#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class tst_Gallery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void parseStamp_data();
    void parseStamp();
    void packageLoadFailure();
    void aboutPage();
    void snapshotAll();

private:
    Gallery *m_gallery = nullptr;
    GalleryWindow *m_window = nullptr;
};

void tst_Gallery::initTestCase()
{
    m_gallery = new Gallery;
    QVERIFY2(m_gallery->package().errorString().isEmpty(),
             qPrintable(m_gallery->package().errorString()));
    m_window = m_gallery->window();
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_Gallery::cleanupTestCase()
{
    delete m_gallery;
}

void tst_Gallery::parseStamp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pairs");
    QTest::newRow("two pairs") << "|a|1|b|2" << QStringList { "a", "1", "b", "2" };
    QTest::newRow("empty value") << "|version_tag||comment|x"
                                 << QStringList { "version_tag", "", "comment", "x" };
    QTest::newRow("empty text") << "" << QStringList {};
    QTest::newRow("no leading bar") << "a|1" << QStringList {};
    QTest::newRow("unpaired key") << "|a|1|b" << QStringList {};
}

void tst_Gallery::parseStamp()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pairs);
    QStringList flat;
    for (const LumoPackage::Entry &entry : LumoPackage::parseStamp(text))
        flat << entry.first << entry.second;
    QCOMPARE(flat, pairs);
}

void tst_Gallery::packageLoadFailure()
{
    QTemporaryDir dir;
    LumoPackage package;
    QVERIFY(!package.load(dir.filePath("liblumo.so")));
    QVERIFY(!package.errorString().isEmpty());
    QVERIFY(package.entries().isEmpty());
}

void tst_Gallery::aboutPage()
{
    GalleryPage *page = m_window->page("about");
    QVERIFY(page);
    m_window->showPage(page);
    QCOMPARE(m_window->currentPage(), page);

    auto *table = page->findChild<QTableWidget *>("stampTable");
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 16);
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QString("version_tag"));
    QCOMPARE(table->item(0, 1)->text(), QString("\\"));
    QCOMPARE(table->item(8, 0)->text(), QString("filename"));
    QCOMPARE(table->item(8, 1)->text(), QString("liblumo.so"));
    // The size in the stamp is the size of the very file that was loaded.
    QCOMPARE(table->item(10, 0)->text(), QString("size"));
    QCOMPARE(table->item(10, 1)->text(),
             QString::number(QFileInfo(m_gallery->package().fileName()).size()));
}

void tst_Gallery::snapshotAll()
{
    QTemporaryDir dir;
    QString reportText;
    QTextStream report(&reportText);
    const QStringList files = m_gallery->snapshotAll(dir.path(), report);
    QCOMPARE(files.size(), m_window->pages().size());
    for (int i = 0; i < files.size(); ++i) {
        const QImage image(files.at(i));
        QCOMPARE(image.size(), m_window->size());
        QVERIFY2(reportText.contains(QString("Snapshot written in \"%1\"\n").arg(files.at(i))),
                 qPrintable(reportText));
        QVERIFY(files.at(i).endsWith(m_window->pages().at(i)->name() + ".png"));
    }
}

QTEST_MAIN(tst_Gallery)
#include "tst_gallery.moc"
