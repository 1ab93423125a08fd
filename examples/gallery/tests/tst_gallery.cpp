#include "Gallery.h"
#include "GalleryWindow.h"
#include "LumoPackage.h"
#include "MailSink.h"
#include "VocabularyEdit.h"

#include "pages/AboutPage.h"
#include "pages/GalleryPage.h"
#include "pages/LayoutsPage.h"
#include "pages/MailPage.h"
#include "pages/NumbersPage.h"
#include "pages/SlidersPage.h"
#include "pages/TextPage.h"
#include "pages/ToolsPage.h"
#ifdef LUMO_WITH_WEBVIEW
#include "pages/WebPage.h"
#endif

#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxComboBoxEditorState.h>
#include <lumo/QxDoubleRangeSlider.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxFlowLayout.h>
#include <lumo/QxFormatingStringValidator.h>
#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxSmtpMailSender.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxSplashScreen.h>
#ifdef LUMO_WITH_WEBVIEW
#include <lumo/QxWebView.h>
#endif

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTreeWidget>
#include <QTcpServer>
#include <QToolButton>

#include <QApplication>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#ifdef LUMO_WITH_WEBVIEW
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QWebEnginePage>

#include <memory>
#else
#include <QWebFrame>
#include <QWebPage>
#endif
#endif
#include <QComboBox>
#include <QFile>
#include <QTest>
#include <QTextStream>

#ifdef LUMO_WITH_WEBVIEW
namespace {

// Zoom factors pass through WebKit's float.
bool near(double a, double b)
{
    return qAbs(a - b) < 1e-6;
}

} // namespace
#endif

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
    void slidersClickJump();
    void slidersKeys();
    void slidersRange();
    void slidersWheel();
    void slidersSettings();
    void sliderSpinBox();
    void mailSentAndReceived();
    void mailAddressValidity();
    void mailFailure();
    void mailSecure_data();
    void mailSecure();
    void mailAddressLists_data();
    void mailAddressLists();
    void mailWithCopiesAttachmentAndHtml();
    void textCompletion();
    void layoutsChips();
    void layoutsRewrap();
    void layoutsComboEditor();
    void layoutsFolding();
    void layoutsChipAlignment();
#ifdef LUMO_WITH_WEBVIEW
    void webZoom();
#endif
    void toolsSnapshot();
    void toolsReplace();
    void toolsTracker();
    void toolsSplash();
    void snapshotAll();

private:
    template<typename T> T *show(const QString &pageName)
    {
        auto *page = qobject_cast<T *>(m_window->page(pageName));
        if (page)
            m_window->showPage(page);
        return page;
    }

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
    QCOMPARE(table->item(8, 1)->text(), QString(LUMO_LINKER_FILE_NAME));
    // The size in the stamp is the size of the very file that was loaded.
    QCOMPARE(table->item(10, 0)->text(), QString("size"));
    QCOMPARE(table->item(10, 1)->text(),
             QString::number(QFileInfo(m_gallery->package().fileName()).size()));
}

// clang-format off
void tst_Gallery::numbersRepair_data()
{
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("repair");
    QTest::addColumn<QString>("left");
    QTest::newRow("fixed decimals round") << "QxFixedDecimalsValidator" << "3.146" << "3.15" << "3.15";
    QTest::newRow("the same number stays as typed") << "QxFixedDecimalsValidator" << "2.500" << "2.5" << "2.500";
    QTest::newRow("typing takes every decimal") << "QxFixedDecimalsValidator" << "3.14159" << "3.14" << "3.14";
    QTest::newRow("significant digits") << "QxSignificantDigitsValidator" << "123456" << "123000" << "123000";
    QTest::newRow("exponential") << "QxExponentialNotationValidator" << "12345" << "1.23e+04" << "1.23e+04";
    QTest::newRow("auto rules small, the same number") << "QxAutoRulesValidator" << "0.005" << "5.00e-03" << "0.005";
    QTest::newRow("auto rules small, rounded") << "QxAutoRulesValidator" << "0.0051234" << "5.12e-03" << "5.12e-03";
    QTest::newRow("auto rules middle") << "QxAutoRulesValidator" << "123.456" << "123" << "123";
    QTest::newRow("formatting string, rounded") << "QxFormatingStringValidator" << "2.5678" << "0002.568" << "0002.568";
    QTest::newRow("base leaves text") << "QxCustomValidator" << "2.500" << "2.500" << "2.500";
}
// clang-format on

// Typing shows the repair to come; leaving the field applies it where it
// changes the number.
void tst_Gallery::numbersRepair()
{
    QFETCH(QString, validator);
    QFETCH(QString, typed);
    QFETCH(QString, repair);
    QFETCH(QString, left);
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
    QCOMPARE(field->text(), typed);
    QCOMPARE(readout->text(), QString("→ %1").arg(repair));

    m_window->findChild<QWidget *>("pageIndex")->setFocus();
    QTRY_VERIFY(!field->hasFocus());
    QCOMPARE(field->text(), left);
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
    QCOMPARE(QxFormatingStringValidator::isUsableFormat(format), usable);

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

void tst_Gallery::slidersClickJump()
{
    auto *page = show<SlidersPage>("sliders");
    QVERIFY(page);
    QxDoubleSlider *slider = page->horizontalSlider();
    QSignalSpy spy(slider, &QxDoubleSlider::doubleValueChanged);
    auto *readout = page->findChild<QLabel *>("horizontalReadout");

    // A click on the groove three quarters along, away from the handle.
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider->QAbstractSlider::minimum();
    option.maximum = slider->QAbstractSlider::maximum();
    option.sliderPosition = slider->QAbstractSlider::sliderPosition();
    option.sliderValue = slider->QAbstractSlider::value();
    const QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderGroove, slider);
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderHandle, slider);
    const QPoint target(groove.left() + groove.width() * 9 / 10, groove.center().y());
    QVERIFY(!handle.contains(target));
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, target);

    QVERIFY(spy.count() >= 1);
    const double value = spy.last().at(0).toDouble();
    QCOMPARE(slider->value(), value);
    QVERIFY2(value > 0.6 && value <= 1.0, qPrintable(QString::number(value)));
    QVERIFY2(readout->text().startsWith(QString("doubleValueChanged(%1)").arg(value, 0, 'g', 10)),
             qPrintable(readout->text()));
}

// Keys move the value by the exact steps the page sets (0.05 and 0.25), and
// the readout shows each value once.
void tst_Gallery::slidersKeys()
{
    auto *page = show<SlidersPage>("sliders");
    QxDoubleSlider *slider = page->horizontalSlider();
    auto *readout = page->findChild<QLabel *>("horizontalReadout");
    slider->setValue(0.0);
    slider->setFocus();
    QTRY_VERIFY(slider->hasFocus());
    QSignalSpy spy(slider, &QxDoubleSlider::doubleValueChanged);
    for (int press = 0; press < 3; ++press)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(slider->value(), 0.05 + 0.05 + 0.05);
    QVERIFY2(readout->text().startsWith(QString("doubleValueChanged(0.15)")),
             qPrintable(readout->text()));
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(slider->value(), 0.05 + 0.05 + 0.05 + 0.25);
    QCOMPARE(spy.count(), 4);
}

// The range slider: Tab onto its upper handle, keys by the page's exact
// step, the readout showing both values.
void tst_Gallery::slidersRange()
{
    auto *page = show<SlidersPage>("sliders");
    QxDoubleRangeSlider *slider = page->rangeSlider();
    auto *readout = page->findChild<QLabel *>("rangeSliderReadout");
    slider->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(slider->hasFocus());
    QCOMPARE(slider->activeHandle(), QxDoubleRangeSlider::LowerHandle);
    QTest::keyClick(slider, Qt::Key_Tab);
    QCOMPARE(slider->activeHandle(), QxDoubleRangeSlider::UpperHandle);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->lowerValue(), 2.5);
    QCOMPARE(slider->upperValue(), 7.5 + 0.1);
    QVERIFY2(readout->text().startsWith(QString("valuesChanged(2.5, 7.6)")),
             qPrintable(readout->text()));
}

void tst_Gallery::slidersWheel()
{
    auto *page = show<SlidersPage>("sliders");
    QxDoubleSlider *slider = page->verticalSlider();
    slider->setValue(-0.5);
    QSignalSpy spy(slider, &QxDoubleSlider::doubleValueChanged);
    const QPoint centre = slider->rect().center();
    QWheelEvent notch(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &notch);
    QCOMPARE(spy.count(), 1);
    QVERIFY(qFuzzyCompare(slider->value(), -0.45));
    QWheelEvent page2(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &page2);
    QVERIFY(qFuzzyCompare(slider->value(), -0.2));
    QVERIFY(page->findChild<QLabel *>("verticalReadout")
                    ->text()
                    .startsWith("doubleValueChanged(-0.2"));
}

void tst_Gallery::slidersSettings()
{
    auto *page = show<SlidersPage>("sliders");
    QxDoubleSlider *slider = page->horizontalSlider();
    const QList<QDoubleSpinBox *> boxes = page->findChildren<QDoubleSpinBox *>();
    // The settings in layout order: minimum, maximum, single step, page step.
    QDoubleSpinBox *minimum = boxes.at(0);
    QDoubleSpinBox *maximum = boxes.at(1);
    maximum->setValue(10.0);
    minimum->setValue(5.0);
    QCOMPARE(slider->minimum(), 5.0);
    QCOMPARE(slider->maximum(), 10.0);
    QVERIFY(slider->value() >= 5.0);
    QCOMPARE(page->verticalSlider()->minimum(), 5.0);

    // A reversed range is refused and shown; the slider keeps its range.
    minimum->setValue(20.0);
    QCOMPARE(slider->minimum(), 5.0);
    QVERIFY(!minimum->styleSheet().isEmpty());
    minimum->setValue(-1.0);
    maximum->setValue(1.0);
    QCOMPARE(slider->minimum(), -1.0);
    QCOMPARE(slider->maximum(), 1.0);
    QVERIFY(minimum->styleSheet().isEmpty());
}

void tst_Gallery::sliderSpinBox()
{
    auto *page = show<SlidersPage>("sliders");
    QxSliderSpinBox *compound = page->sliderSpinBox();
    auto *slider = compound->findChild<QSlider *>("slider");
    auto *spin = compound->findChild<QDoubleSpinBox *>("doubleSpinBox");
    auto *readout = page->findChild<QLabel *>("sliderSpinBoxReadout");
    QSignalSpy spy(compound, &QxSliderSpinBox::valueChanged);

    slider->setFocus();
    QTRY_VERIFY(slider->hasFocus());
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toDouble(), 100.0);
    QCOMPARE(spin->value(), 100.0);
    QVERIFY2(readout->text().startsWith("valueChanged(100)"), qPrintable(readout->text()));

    // The page's range reaches the widget: the value is pulled into it.
    auto *rangeMaximum = page->findChild<QDoubleSpinBox *>("sliderSpinBoxMaximum");
    rangeMaximum->setValue(50.0);
    QCOMPARE(spin->value(), 50.0);
    QCOMPARE(slider->value(), 1000);
    rangeMaximum->setValue(100.0);

    // Decimals, suffix and tracking from the page: without tracking a typed
    // number counts on Return only, and ends the editing.
    page->findChild<QSpinBox *>("sliderSpinBoxDecimals")->setValue(3);
    page->findChild<QLineEdit *>("sliderSpinBoxSuffix")->setText(" mm");
    page->findChild<QCheckBox *>("sliderSpinBoxTracking")->setChecked(false);
    QCOMPARE(compound->decimals(), 3);
    QCOMPARE(compound->suffix(), QString(" mm"));
    QVERIFY(!compound->hasTracking());
    auto *finishedReadout = page->findChild<QLabel *>("sliderSpinBoxFinishedReadout");
    spy.clear();
    compound->setFocus();
    QTRY_VERIFY(spin->hasFocus());
    spin->selectAll();
    QTest::keyClicks(spin, "12.5");
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(compound->value(), 12.5);
    QCOMPARE(spin->text(), QString("12.500 mm"));
    QVERIFY2(finishedReadout->text().startsWith("editingFinished()"),
             qPrintable(finishedReadout->text()));
}

void tst_Gallery::mailSentAndReceived()
{
    auto *page = show<MailPage>("mail");
    QVERIFY(page);
    MailSink *sink = m_gallery->mailSink();
    if (MailSink::program().isEmpty())
        QFAIL("aiosmtpd is missing: install python3-aiosmtpd");
    QSignalSpy started(sink, &MailSink::started);
    page->findChild<QPushButton *>("startSink")->click();
    QVERIFY(started.wait(20000));
    const quint16 port = started.at(0).at(0).value<quint16>();
    QCOMPARE(page->findChild<QSpinBox *>("port")->value(), int(port));
    QCOMPARE(page->findChild<QLineEdit *>("host")->text(), QString("127.0.0.1"));

    auto *from = page->findChild<QxMailAddressEdit *>("from");
    from->setFocus();
    from->selectAll();
    QTest::keyClicks(from, "alice@lumo.example");
    page->findChild<QLineEdit *>("subject")->setText("Test mail");
    page->findChild<QPlainTextEdit *>("body")->setPlainText("first line\n.\nlast line");

    QSignalSpy finished(page, &MailPage::sendFinished);
    QSignalSpy received(sink, &MailSink::messageReceived);
    auto *send = page->findChild<QPushButton *>("send");
    QVERIFY(send->isEnabled());
    send->click();
    QVERIFY(page->findChild<QProgressBar *>("progress")->isVisible());
    QVERIFY(!send->isEnabled());
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(!page->findChild<QProgressBar *>("progress")->isVisible());
    QVERIFY(received.count() == 1 || received.wait(20000));

    const QString message = received.at(0).at(0).toString();
    QVERIFY2(message.contains("From: alice@lumo.example\n"), qPrintable(message));
    QVERIFY(message.contains("Subject: Test mail\n"));
    // The sender doubled the lone dot and the server took it off again.
    QVERIFY2(message.endsWith("\nfirst line\n.\nlast line"), qPrintable(message));
    auto *list = page->findChild<QListWidget *>("received");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QString("Test mail — to you@lumo.example"));
    QCOMPARE(page->findChild<QPlainTextEdit *>("receivedText")->toPlainText(), message);
}

void tst_Gallery::mailAddressValidity()
{
    auto *page = show<MailPage>("mail");
    auto *to = page->findChild<QxMailAddressEdit *>("to");
    auto *validity = page->findChild<QLabel *>("toValidity");
    auto *send = page->findChild<QPushButton *>("send");
    const QString address = to->text();
    to->setFocus();
    to->selectAll();
    QTest::keyClicks(to, "bob@lumo");
    QVERIFY(!to->isValid());
    QVERIFY(validity->text().contains("not complete"));
    QVERIFY(!send->isEnabled());
    QTest::keyClicks(to, " x");
    QCOMPARE(to->text(), QString("bob@lumox")); // the space is refused
    QTest::keyClicks(to, ".org");
    QVERIFY(validity->text().contains("complete"));
    QVERIFY(!validity->text().contains("not"));
    QVERIFY(send->isEnabled());
    to->setText(address);
}

void tst_Gallery::mailFailure()
{
    auto *page = show<MailPage>("mail");
    // A port that was just free: nothing listens there.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    page->findChild<QSpinBox *>("port")->setValue(port);
    QSignalSpy finished(page, &MailPage::sendFinished);
    page->findChild<QPushButton *>("send")->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    auto *status = page->findChild<QLabel *>("status");
    QVERIFY2(status->text().contains("Socket Error : "), qPrintable(status->text()));
    QVERIFY(page->findChild<QPushButton *>("send")->isEnabled());
}

void tst_Gallery::mailSecure_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("status");
    // clang-format off
    QTest::newRow("STARTTLS and login") << MailSink::password() << "Sent: the server accepted the mail.";
    QTest::newRow("wrong password") << "guess" << "Not sent. Unexpected reply from smtp server : 535";
    // clang-format on
}

// The page's TLS and login form against the gallery's own sink.
void tst_Gallery::mailSecure()
{
    QFETCH(QString, password);
    QFETCH(QString, status);

    auto *page = show<MailPage>("mail");
    MailSink *sink = m_gallery->mailSink();
    if (!sink->isListening()) {
        QSignalSpy started(sink, &MailSink::started);
        page->findChild<QPushButton *>("startSink")->click();
        QVERIFY(started.wait(20000));
    }
    page->findChild<QLineEdit *>("host")->setText(sink->host());
    page->findChild<QSpinBox *>("port")->setValue(sink->port());
    auto *security = page->findChild<QComboBox *>("security");
    security->setCurrentIndex(security->findData(QxSmtpMailSender::StartTls));
    page->findChild<QLineEdit *>("user")->setText(MailSink::userName());
    page->findChild<QLineEdit *>("password")->setText(password);
    page->findChild<QLineEdit *>("subject")->setText("Secure mail");

    QSignalSpy finished(page, &MailPage::sendFinished);
    QSignalSpy received(sink, &MailSink::messageReceived);
    page->findChild<QPushButton *>("send")->click();
    QVERIFY(finished.wait(20000));
    QVERIFY2(finished.at(0).at(1).toString().startsWith(status),
             qPrintable(finished.at(0).at(1).toString()));
    if (finished.at(0).at(0).toBool()) {
        QVERIFY(received.count() == 1 || received.wait(20000));
        QVERIFY(received.at(0).at(0).toString().contains("Subject: Secure mail\n"));
    }
    security->setCurrentIndex(0);
    page->findChild<QLineEdit *>("user")->clear();
    page->findChild<QLineEdit *>("password")->clear();
}

void tst_Gallery::mailAddressLists_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    // clang-format off
    QTest::newRow("one") << "cc" << "carol@lumo.example" << "carol@lumo.example" << true;
    QTest::newRow("two, space after the comma") << "cc" << "carol@lumo.example, dave@lumo.org" << "carol@lumo.example, dave@lumo.org" << true;
    QTest::newRow("two, no space") << "bcc" << "carol@lumo.example,dave@lumo.org" << "carol@lumo.example,dave@lumo.org" << true;
    QTest::newRow("space in an address refused") << "cc" << "car ol@lumo.example" << "carol@lumo.example" << true;
    QTest::newRow("space before a comma refused") << "bcc" << "carol@lumo.example ,dave@lumo.org" << "carol@lumo.example,dave@lumo.org" << true;
    QTest::newRow("second one incomplete") << "cc" << "carol@lumo.example, dave@lumo" << "carol@lumo.example, dave@lumo" << false;
    QTest::newRow("first one incomplete") << "bcc" << "carol@lumo, dave@lumo.org" << "carol@lumo, dave@lumo.org" << false;
    QTest::newRow("trailing comma") << "cc" << "carol@lumo.example," << "carol@lumo.example," << false;
    QTest::newRow("empty between commas") << "bcc" << "carol@lumo.example,,dave@lumo.org" << "carol@lumo.example,,dave@lumo.org" << false;
    QTest::newRow("second at sign refused") << "cc" << "carol@lumo@.example" << "carol@lumo.example" << true;
    // clang-format on
}

// Cc and Bcc take comma-separated lists, each address held to the To field's
// rules, and keep Send disabled while one is incomplete.
void tst_Gallery::mailAddressLists()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(bool, valid);

    auto *page = show<MailPage>("mail");
    auto *edit = page->findChild<QxMailAddressEdit *>(field);
    auto *validity = page->findChild<QLabel *>(field + "Validity");
    auto *send = page->findChild<QPushButton *>("send");
    QVERIFY(edit && validity);
    QCOMPARE(validity->text(), QString("none"));
    QVERIFY(send->isEnabled());

    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->isValid(), valid);
    QCOMPARE(validity->text().contains("not complete"), !valid);
    QCOMPARE(send->isEnabled(), valid);

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(validity->text(), QString("none"));
    QVERIFY(send->isEnabled());
}

// A mail with every part the page can add, sent by clicks and keys, as the
// sink receives it and as the page lists it.
void tst_Gallery::mailWithCopiesAttachmentAndHtml()
{
    auto *page = show<MailPage>("mail");
    MailSink *sink = m_gallery->mailSink();
    if (!sink->isListening()) {
        QSignalSpy started(sink, &MailSink::started);
        page->findChild<QPushButton *>("startSink")->click();
        QVERIFY(started.wait(20000));
    }
    page->findChild<QLineEdit *>("host")->setText(sink->host());
    page->findChild<QSpinBox *>("port")->setValue(sink->port());
    page->findChild<QLineEdit *>("subject")->setText("Parts");

    for (const char *name : { "fromName", "cc", "bcc", "attachments", "attach", "removeAttachment",
                              "progress", "receivedParts" }) {
        QAccessibleInterface *accessible
                = QAccessible::queryAccessibleInterface(page->findChild<QWidget *>(name));
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), name);
    }

    const QString from = page->findChild<QxMailAddressEdit *>("from")->text();
    auto *name = page->findChild<QLineEdit *>("fromName");
    name->setFocus();
    QTest::keyClicks(name, "Alice Example");
    auto *cc = page->findChild<QxMailAddressEdit *>("cc");
    cc->setFocus();
    QTest::keyClicks(cc, "carol@lumo.example, dave@lumo.example");
    auto *bcc = page->findChild<QxMailAddressEdit *>("bcc");
    bcc->setFocus();
    QTest::keyClicks(bcc, "erin@lumo.example");
    auto *html = page->findChild<QCheckBox *>("html");
    html->setFocus();
    QTest::keyClick(html, Qt::Key_Space);
    QVERIFY(html->isChecked());

    // Two files attached, the first removed again: only the second goes.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary += char(i % 256);
    const QList<QPair<QString, QByteArray>> files
            = { { "notes.txt", "removed again\n" }, { "data.bin", binary } };
    for (const auto &file : files) {
        QFile out(dir.filePath(file.first));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.second);
    }
    auto *attachments = page->findChild<QListWidget *>("attachments");
    auto *remove = page->findChild<QPushButton *>("removeAttachment");
    QVERIFY(!remove->isEnabled());
    QVERIFY(page->addAttachment(dir.filePath("notes.txt")));
    QVERIFY(page->addAttachment(dir.filePath("data.bin")));
    QVERIFY(!page->addAttachment(dir.filePath("missing.txt")));
    QVERIFY(!page->addAttachment(dir.path()));
    QCOMPARE(attachments->count(), 2);
    QVERIFY2(attachments->item(1)->text().startsWith("data.bin ("),
             qPrintable(attachments->item(1)->text()));
    attachments->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(attachments->count(), 1);
    QVERIFY(attachments->item(0)->text().startsWith("data.bin ("));

    auto *progress = page->findChild<QProgressBar *>("progress");
    QSignalSpy progressed(progress, &QProgressBar::valueChanged);
    QSignalSpy finished(page, &MailPage::sendFinished);
    QSignalSpy received(sink, &MailSink::messageReceived);
    auto *send = page->findChild<QPushButton *>("send");
    QVERIFY(send->isEnabled());
    QTest::mouseClick(send, Qt::LeftButton);
    // Busy until the first chunk goes out.
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->maximum(), 0);
    QVERIFY(finished.wait(20000));
    QVERIFY2(finished.at(0).at(0).toBool(), qPrintable(finished.at(0).at(1).toString()));
    QVERIFY(progress->maximum() > 0);
    QCOMPARE(progress->value(), progress->maximum());
    QVERIFY(!progressed.isEmpty());
    QVERIFY(received.count() == 1 || received.wait(20000));

    const MailSink::Mail mail = sink->mails().last();
    QCOMPARE(mail.subject, QString("Parts"));
    QVERIFY2(mail.text.contains("From: Alice Example <" + from + ">\n"), qPrintable(mail.text));
    QCOMPARE(mail.to, QStringList { "you@lumo.example" });
    QCOMPARE(mail.cc, (QStringList { "carol@lumo.example", "dave@lumo.example" }));
    QCOMPARE(mail.envelopeTo,
             (QStringList { "you@lumo.example", "carol@lumo.example", "dave@lumo.example",
                            "erin@lumo.example" }));
    QVERIFY(!mail.text.contains("erin"));
    QStringList types;
    QStringList fileNames;
    for (const MailSink::Part &part : mail.parts) {
        types << part.type;
        fileNames << part.fileName;
    }
    QCOMPARE(types, (QStringList { "text/plain", "text/html", "application/octet-stream" }));
    QCOMPARE(fileNames, (QStringList { "", "", "data.bin" }));
    QCOMPARE(mail.parts.at(2).size, qint64(binary.size()));

    auto *list = page->findChild<QListWidget *>("received");
    QCOMPARE(list->currentItem(), list->item(list->count() - 1));
    QCOMPARE(list->currentItem()->text(),
             QString("Parts — to you@lumo.example, cc carol@lumo.example, dave@lumo.example, "
                     "1 attachment"));
    auto *parts = page->findChild<QTreeWidget *>("receivedParts");
    QCOMPARE(parts->topLevelItemCount(), 3);
    QCOMPARE(parts->topLevelItem(1)->text(0), QString("text/html"));
    QCOMPARE(parts->topLevelItem(2)->text(0), QString("application/octet-stream"));
    QCOMPARE(parts->topLevelItem(2)->text(1), QString("data.bin"));
    QVERIFY(page->findChild<QLabel *>("receivedEnvelope")->text().contains("erin@lumo.example"));
    QCOMPARE(page->findChild<QPlainTextEdit *>("receivedText")->toPlainText(), mail.text);

    // Selecting an earlier mail shows its parts.
    if (list->count() > 1) {
        list->setCurrentRow(0);
        QCOMPARE(parts->topLevelItemCount(), sink->mails().first().parts.size());
        list->setCurrentRow(list->count() - 1);
    }

    name->clear();
    cc->clear();
    bcc->clear();
    html->setChecked(false);
    attachments->setCurrentRow(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(attachments->count(), 0);
    QVERIFY(!remove->isEnabled());
}

void tst_Gallery::textCompletion()
{
    auto *page = show<TextPage>("text");
    VocabularyEdit *editor = page->editor();
    QCOMPARE(editor->getAllAdmissibleCompletion("QAbstractSl"), QStringList { "QAbstractSlider" });
    QVERIFY(editor->getAllAdmissibleCompletion("zzzz").isEmpty());
    QCOMPARE(editor->getAllAdmissibleCompletion(QString()).size(),
             VocabularyEdit::maximumCompletions);

    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    editor->setPlainText("A slider: ");
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "qabstractsl");
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->completer()->currentCompletion(), QString("QAbstractSlider"));
    QCOMPARE(page->findChild<QListWidget *>("completions")->count(), 1);

    QTest::keyClick(editor->completer()->popup(), Qt::Key_Return);
    // Only the missing tail is inserted: the typed letters keep their case.
    QCOMPARE(editor->toPlainText(), QString("A slider: qabstractslider"));
    QVERIFY(!editor->isCompleterVisible());
}

void tst_Gallery::layoutsChips()
{
    auto *page = show<LayoutsPage>("layouts");
    QxFlowLayout *chips = page->chips();
    const int before = chips->count();
    QVERIFY(before > 5);

    auto *edit = page->findChild<QLineEdit *>("newChip");
    edit->setFocus();
    QTest::keyClicks(edit, "  fresh   tag ");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(chips->count(), before + 1);
    auto *added = qobject_cast<QToolButton *>(chips->itemAt(before)->widget());
    QVERIFY(added->text().startsWith("fresh tag"));
    QVERIFY(edit->text().isEmpty());
    QTest::keyClick(edit, Qt::Key_Return); // nothing typed: no chip
    QCOMPARE(chips->count(), before + 1);

    QPointer<QToolButton> first = qobject_cast<QToolButton *>(chips->itemAt(0)->widget());
    QTest::mouseClick(first, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QCOMPARE(chips->count(), before);
    QCOMPARE(chips->itemAt(before - 1)->widget(), added);
}

void tst_Gallery::layoutsRewrap()
{
    auto *page = show<LayoutsPage>("layouts");
    auto *splitter = page->findChild<QSplitter *>("splitter");
    QxFlowLayout *chips = page->chips();
    QWidget *last = chips->itemAt(chips->count() - 1)->widget();

    // As wide as the splitter lets it be, then much narrower.
    splitter->setSizes({ splitter->width(), 0 });
    QTRY_VERIFY(page->chipArea()->width() > splitter->width() / 2);
    QTRY_COMPARE(page->chipArea()->height(), chips->heightForWidth(page->chipArea()->width()));
    const int wide = page->chipArea()->width();
    const int wideBottom = last->geometry().bottom();

    splitter->setSizes({ splitter->width() * 2 / 5, splitter->width() * 3 / 5 });
    QTRY_VERIFY(page->chipArea()->width() < wide - 100);
    QTRY_COMPARE(page->chipArea()->height(), chips->heightForWidth(page->chipArea()->width()));
    QVERIFY2(last->geometry().bottom() > wideBottom,
             qPrintable(QString("%1 <= %2").arg(last->geometry().bottom()).arg(wideBottom)));
    // Every chip lies inside the area, however narrow.
    for (int i = 0; i < chips->count(); ++i)
        QVERIFY(page->chipArea()->rect().contains(chips->itemAt(i)->geometry()));
}

void tst_Gallery::layoutsComboEditor()
{
    auto *page = show<LayoutsPage>("layouts");
    QTableView *view = page->choicesView();
    QStandardItemModel *model = page->choicesModel();
    const QModelIndex cell = model->index(0, 1);
    view->setFocus();
    view->setCurrentIndex(cell); // opens the editor: every trigger edits
    auto *editor = view->viewport()->findChild<QxComboBoxEditor *>();
    QVERIFY(editor);
    QCOMPARE(editor->count(), 3);
    QCOMPARE(editor->currentIndex(), 0);
    editor->setCurrentIndex(2);
    view->setCurrentIndex(model->index(1, 1)); // leaving the cell commits it

    const auto state = model->data(cell, Qt::EditRole).value<QxComboBoxEditorState>();
    QCOMPARE(state.selectedIndex, 2);
    QCOMPARE(state.itemTexts.size(), 3);
    QVERIFY(page->findChild<QLabel *>("choicesReadout")->text().contains("Rounding: toward zero"));
}

void tst_Gallery::layoutsFolding()
{
    auto *page = show<LayoutsPage>("layouts");
    auto *folded = page->findChild<QxCollapsibleGroupBox *>("foldedSection");
    QVERIFY(!folded->isChecked());
    QVERIFY(!folded->getInsideWidget()->isVisible());
    folded->setChecked(true);
    QVERIFY(folded->getInsideWidget()->isVisible());
    folded->setChecked(false);

    auto *tags = page->findChild<QxCollapsibleGroupBox *>("tagsSection");
    QVERIFY(page->chipArea()->isVisible());
    tags->setChecked(false);
    QVERIFY(!page->chipArea()->isVisible());
    tags->setChecked(true);
    QVERIFY(page->chipArea()->isVisible());

    auto *animate = page->findChild<QCheckBox *>("animateFolds");
    QVERIFY(!animate->isChecked());
    for (const QxCollapsibleGroupBox *section : page->findChildren<QxCollapsibleGroupBox *>())
        QVERIFY(!section->isAnimated());
    animate->click();
    for (const QxCollapsibleGroupBox *section : page->findChildren<QxCollapsibleGroupBox *>())
        QVERIFY(section->isAnimated());
    // However it folds, the section ends folded and unfolded as before.
    tags->setExpanded(false);
    QTRY_VERIFY(!page->chipArea()->isVisible());
    tags->setExpanded(true);
    QTRY_VERIFY(page->chipArea()->isVisible());
    QTRY_COMPARE(tags->maximumHeight(), QWIDGETSIZE_MAX);
    animate->click();
}

// The combo box sets where each line of chips stands: with right alignment the
// last chip of the first line ends at the area's right margin.
void tst_Gallery::layoutsChipAlignment()
{
    auto *page = show<LayoutsPage>("layouts");
    auto *alignment = page->findChild<QComboBox *>("chipAlignment");
    QxFlowLayout *chips = page->chips();
    QCOMPARE(chips->rowAlignment(), Qt::Alignment(Qt::AlignLeft));
    const QStringList texts { "Left", "Centred", "Right", "Justified" };
    const QList<Qt::Alignment> expected { Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                          Qt::AlignJustify };
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(alignment->itemText(i), texts.at(i));
        alignment->setCurrentIndex(i);
        QCOMPARE(chips->rowAlignment(), expected.at(i));
    }
    alignment->setCurrentIndex(2);
    const int rightEdge = page->chipArea()->width() - chips->contentsMargins().right();
    QTRY_VERIFY([&] {
        for (int i = 0; i < chips->count(); ++i) {
            if (chips->itemAt(i)->geometry().right() + 1 == rightEdge)
                return true;
        }
        return false;
    }());
    alignment->setCurrentIndex(0);
}

#ifdef LUMO_WITH_WEBVIEW
void tst_Gallery::webZoom()
{
    auto *page = show<WebPage>("web");
    QxWebView *view = page->view();
    if (!page->isLoaded()) {
        QSignalSpy loaded(page, &WebPage::loaded);
        QVERIFY(loaded.wait(20000));
    }
    QVERIFY(page->isLoaded());
    // Loaded means painted too (Qt WebEngine paints frames after loadFinished).
    const QImage shot = view->grab().toImage();
    QImage blank(shot.size(), shot.format());
    blank.fill(shot.pixel(0, 0));
    QVERIFY(shot != blank);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt WebEngine hands the page's text over later, from its own process.
    auto text = std::make_shared<QString>();
    view->page()->toPlainText([text](const QString &plain) { *text = plain; });
    QTRY_VERIFY(text->contains("QxSmtpMailSender"));
#else
    QVERIFY(view->page()->mainFrame()->toPlainText().contains("QxSmtpMailSender"));
#endif
    auto *readout = page->findChild<QLabel *>("zoomReadout");

    page->findChild<QPushButton *>("resetZoom")->click();
    page->findChild<QPushButton *>("zoomIn")->click();
    QVERIFY2(near(view->zoomFactor(), 1.1), qPrintable(QString::number(view->zoomFactor())));
    QVERIFY(readout->text().startsWith("Zoom factor 1.100"));

    const QPoint centre = view->rect().center();
    QWheelEvent wheel(centre, view->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QVERIFY(near(view->zoomFactor(), 1.1 * 0.9));
    QTRY_VERIFY(readout->text().startsWith("Zoom factor 0.990"));

    // The animated zoom follows QxVariantAnimation to its end value.
    page->findChild<QPushButton *>("animateZoom")->click();
    QTRY_VERIFY(near(view->zoomFactor(), 1.5));
    QVERIFY(readout->text().startsWith("Zoom factor 1.500"));
    // Ctrl+0 anywhere in the window, as in a browser; the readout follows.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window->windowHandle(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->zoomFactor(), 1.0);
    QVERIFY(readout->text().startsWith("Zoom factor 1.000"));
    view->zoomIn();
    QVERIFY(readout->text().startsWith("Zoom factor 1.100"));
    page->findChild<QPushButton *>("resetZoom")->click();
    QCOMPARE(view->zoomFactor(), 1.0);
    QVERIFY(readout->text().startsWith("Zoom factor 1.000"));
}
#endif

void tst_Gallery::toolsSnapshot()
{
    auto *tools = show<ToolsPage>("tools");
    QTemporaryDir dir;
    tools->snapshotFolder()->setText(dir.filePath("pictures"));
    GalleryPage *about = m_window->page("about");

    const QString first = tools->snapshot(about);
    const QString second = tools->snapshot(about);
    QCOMPARE(first, dir.filePath("pictures/about.png"));
    QCOMPARE(second, dir.filePath("pictures/about1.png"));
    QCOMPARE(QImage(second).size(), about->size());
    const QString log = tools->log()->toPlainText();
    QVERIFY2(log.contains(QString("Snapshot written in \"%1\"").arg(second)), qPrintable(log));

    // Through the buttons, for the page chosen in the list.
    auto *target = tools->findChild<QComboBox *>("targetPage");
    target->setCurrentIndex(target->findData("numbers"));
    tools->findChild<QPushButton *>("snapshot")->click();
    QVERIFY(QFile::exists(dir.filePath("pictures/numbers.png")));
}

void tst_Gallery::toolsReplace()
{
#ifndef LUMO_WITH_WEBVIEW
    QSKIP("replaces texts on the Web page, which needs a web engine");
#else
    auto *tools = show<ToolsPage>("tools");
    auto *web = qobject_cast<WebPage *>(m_window->page("web"));
    auto *zoomIn = web->findChild<QPushButton *>("zoomIn");
    QCOMPARE(zoomIn->text(), QString("Zoom in"));
    tools->replace(web, "Zoom", "Magnify");
    QCOMPARE(zoomIn->text(), QString("Magnify in"));
    tools->replace(web, "", "x");
    QCOMPARE(zoomIn->text(), QString("Magnify in"));
    QVERIFY(tools->log()->toPlainText().contains("the search text is empty"));
    tools->replace(web, "Magnify", "Zoom");
    QCOMPARE(zoomIn->text(), QString("Zoom in"));
#endif
}

void tst_Gallery::toolsTracker()
{
    auto *tools = show<ToolsPage>("tools");
    auto *counter = tools->findChild<QLabel *>("callCounter");
    auto click = [tools](const char *name) { tools->findChild<QAbstractButton *>(name)->click(); };
    const QString before = counter->text();
    click("ping");
    QCOMPARE(counter->text(), before); // nothing connected yet

    click("connectAll");
    click("ping");
    QVERIFY2(counter->text().endsWith("last: ping()"), qPrintable(counter->text()));
    const QString afterPing = counter->text();
    tools->findChild<QSlider *>("trackedSlider")->triggerAction(QAbstractSlider::SliderMove);
    click("trackedCheckBox");
    QVERIFY(counter->text().endsWith("last: toggled(true)")
            || counter->text().endsWith("last: toggled(false)"));

    click("cutAll");
    const QString afterCut = counter->text();
    click("ping");
    click("trackedCheckBox");
    QCOMPARE(counter->text(), afterCut);
    QVERIFY(afterPing != afterCut);
}

void tst_Gallery::toolsSplash()
{
    auto *tools = show<ToolsPage>("tools");
    auto splashes = [] {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += dynamic_cast<QxSplashScreen *>(widget) != nullptr;
        return count;
    };
    QCOMPARE(splashes(), 0);
    tools->findChild<QPushButton *>("showSplash")->click();
    QCOMPARE(splashes(), 1);
    // It ends itself after two seconds.
    QTRY_COMPARE_WITH_TIMEOUT(splashes(), 0, 10000);
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
