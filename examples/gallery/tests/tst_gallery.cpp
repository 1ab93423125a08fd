#include "AboutPage.h"
#include "Gallery.h"
#include "GalleryPage.h"
#include "GalleryWindow.h"
#include "LumoPackage.h"

#include "NumbersPage.h"

#include <QApplication>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
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
    void numbersRepair_data();
    void numbersRepair();
    void numbersSetting();
    void numbersFormatCheck_data();
    void numbersFormatCheck();
    void snapshotAll();

private:
    Gallery *m_gallery = nullptr;
    GalleryWindow *m_window = nullptr;
};

void tst_Gallery::initTestCase()
{
    m_gallery = new Gallery;
    m_gallery->buildPages();
    QVERIFY2(m_gallery->package().errorString().isEmpty(),
             qPrintable(m_gallery->package().errorString()));
    m_window = m_gallery->window();
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
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

void tst_Gallery::numbersRepair_data()
{
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("repaired");
    QTest::newRow("fixed decimals round") << "QxFixedDecimalsValidator"
                                          << "3.146"
                                          << "3.146"
                                          << "3.15";
    QTest::newRow("fixed decimals trim") << "QxFixedDecimalsValidator"
                                         << "2.500"
                                         << "2.500"
                                         << "2.5";
    QTest::newRow("typing stops at 3 decimals") << "QxFixedDecimalsValidator"
                                                << "3.14159"
                                                << "3.141"
                                                << "3.14";
    QTest::newRow("significant digits") << "QxSignificantDigitsValidator"
                                        << "123456"
                                        << "123456"
                                        << "123000";
    QTest::newRow("exponential") << "QxExponentialNotationValidator"
                                 << "12345"
                                 << "12345"
                                 << "1.23e+04";
    QTest::newRow("auto rules small") << "QxAutoRulesValidator"
                                      << "0.005"
                                      << "0.005"
                                      << "5.00e-03";
    QTest::newRow("auto rules middle") << "QxAutoRulesValidator"
                                       << "123.456"
                                       << "123.456"
                                       << "123";
    QTest::newRow("formatting string") << "QxFormatingStringValidator"
                                       << "2.5"
                                       << "2.5"
                                       << "0002.5";
    QTest::newRow("base leaves text") << "QxCustomValidator"
                                      << "2.500"
                                      << "2.500"
                                      << "2.500";
}

// Typing shows the repair to come; leaving the field applies it.
void tst_Gallery::numbersRepair()
{
    QFETCH(QString, validator);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, repaired);
    GalleryPage *page = m_window->page("numbers");
    QVERIFY(page);
    m_window->showPage(page);
    auto *field = page->findChild<QLineEdit *>(validator);
    auto *readout = page->findChild<QLabel *>(validator + "Readout");
    QVERIFY(field && readout);

    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(readout->text(), QString("→ %1").arg(repaired));

    m_window->findChild<QWidget *>("pageIndex")->setFocus();
    QTRY_VERIFY(!field->hasFocus());
    QCOMPARE(field->text(), repaired);
}

void tst_Gallery::numbersSetting()
{
    GalleryPage *page = m_window->page("numbers");
    m_window->showPage(page);
    auto *field = page->findChild<QLineEdit *>("QxFixedDecimalsValidator");
    auto *readout = page->findChild<QLabel *>("QxFixedDecimalsValidatorReadout");
    field->setText("3.146");
    // The digit count sits in the same row as the field.
    auto *grid = static_cast<QGridLayout *>(page->layout());
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(field), &row, &column, &rowSpan, &columnSpan);
    auto *decimals = qobject_cast<QSpinBox *>(grid->itemAtPosition(row, 1)->widget());
    QVERIFY(decimals);
    decimals->setValue(1);
    QCOMPARE(readout->text(), QString("→ 3.1"));
    decimals->setValue(0);
    QCOMPARE(readout->text(), QString("→ 3"));
    decimals->setValue(2);
    QCOMPARE(readout->text(), QString("→ 3.15"));
}

void tst_Gallery::numbersFormatCheck_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("usable");
    QTest::newRow("fixed") << "%.3f" << true;
    QTest::newRow("width and flags") << "%+08.3f" << true;
    QTest::newRow("percent sign") << "%.2f%%" << true;
    QTest::newRow("text around") << "about %g units" << true;
    QTest::newRow("string") << "%s" << false;
    QTest::newRow("integer") << "%d" << false;
    QTest::newRow("two conversions") << "%f %f" << false;
    QTest::newRow("none") << "plain" << false;
    QTest::newRow("star width") << "%*f" << false;
    QTest::newRow("lone percent") << "%" << false;
}

void tst_Gallery::numbersFormatCheck()
{
    QFETCH(QString, format);
    QFETCH(bool, usable);
    QCOMPARE(NumbersPage::isUsableFormat(format), usable);

    GalleryPage *page = m_window->page("numbers");
    auto *formatEdit = page->findChild<QLineEdit *>("format");
    auto *field = page->findChild<QLineEdit *>("QxFormatingStringValidator");
    auto *readout = page->findChild<QLabel *>("QxFormatingStringValidatorReadout");
    field->setText("2.5");
    formatEdit->setText(format);
    QCOMPARE(formatEdit->toolTip().isEmpty(), usable);
    if (!usable)
        QCOMPARE(readout->text(), QString("→ 2.5"));
    formatEdit->setText("%08.3f");
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
