#include <lumo/QxSplashScreen.h>

#include <QtTest>

#include <QBitmap>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <QTranslator>

namespace {
// Stands in for a loaded translation file, so the context can be checked.
class FakeTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QApplication") == 0 && qstrcmp(sourceText, "Version ") == 0)
            return QStringLiteral("Versión ");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// Opaque white with a transparent top right corner.
QPixmap splashPicture()
{
    QImage image(400, 200, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(350, 0, 50, 50), Qt::transparent);
    painter.end();
    return QPixmap::fromImage(image);
}

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 64;
}
} // namespace

class tst_QxSplashScreen : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void versionLineDrawnBottomLeftInBlack();
    void buildMessage_data();
    void buildMessage();
    void versionIsTranslatedInQApplicationContext();
    void dialogHidesAndShows();
    void twoWindows();
    void childWidgetsAndItselfIgnored();
    void unrecordedWindowHiddenShowsSplash();
    void toolTipCountsAsWindow();
    void popupMenuCountsAsWindow();
    void nullPicture();
    void noEffectAfterScheduleDeletion();
    void staysHiddenOnceDismissed_data();
    void staysHiddenOnceDismissed();
};

void tst_QxSplashScreen::construction()
{
    const QPixmap picture = splashPicture();
    QxSplashScreen splash(picture, QStringLiteral("2.1"));
    QVERIFY(splash.isVisible());
    QCOMPARE(splash.message(), QStringLiteral("Version 2.1"));
    QCOMPARE(splash.pixmap().size(), picture.size());
    QVERIFY(!splash.mask().isEmpty());
    QCOMPARE(splash.mask(), QRegion(picture.mask()));
    QVERIFY(!splash.mask().contains(QPoint(375, 25)));
    QVERIFY(splash.mask().contains(QPoint(10, 190)));
    QCOMPARE(splash.metaObject(), &QSplashScreen::staticMetaObject);
    QVERIFY(!(splash.windowFlags() & Qt::WindowStaysOnTopHint));
}

void tst_QxSplashScreen::versionLineDrawnBottomLeftInBlack()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("2.1"));
    const QImage shot = splash.grab().toImage();
    QCOMPARE(shot.size(), QSize(400, 200));
    int darkBottomLeft = 0;
    int darkElsewhere = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            // Outside the mask the grab holds no picture, only black.
            if (!splash.mask().contains(QPoint(x, y)) || !isDark(shot.pixel(x, y)))
                continue;
            if (x < shot.width() / 2 && y >= shot.height() / 2)
                ++darkBottomLeft;
            else
                ++darkElsewhere;
        }
    }
    QVERIFY(darkBottomLeft > 0);
    QCOMPARE(darkElsewhere, 0);
}

void tst_QxSplashScreen::buildMessage_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("withVersion");
    QTest::addColumn<QString>("expected");

    QTest::newRow("version line") << "2.1"
                                  << "" << true << "Version 2.1";
    QTest::newRow("message appended without space") << "2.1"
                                                    << "Loading" << true << "Version 2.1Loading";
    QTest::newRow("without version") << "2.1"
                                     << "Loading" << false << "Loading";
    QTest::newRow("without version, empty") << "2.1"
                                            << "" << false << "";
    QTest::newRow("empty version") << ""
                                   << "x" << true << "Version x";
}

void tst_QxSplashScreen::buildMessage()
{
    QFETCH(QString, version);
    QFETCH(QString, message);
    QFETCH(bool, withVersion);
    QFETCH(QString, expected);
    QxSplashScreen splash(QPixmap(), version);
    QCOMPARE(splash.buildMessage(message, withVersion), expected);
}

void tst_QxSplashScreen::versionIsTranslatedInQApplicationContext()
{
    FakeTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QxSplashScreen splash(splashPicture(), QStringLiteral("3"));
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(splash.message(), QStringLiteral("Versión 3"));
}

void tst_QxSplashScreen::dialogHidesAndShows()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    QDialog dialog;
    dialog.show();
    QVERIFY(!splash.isVisible());
    dialog.hide();
    QVERIFY(splash.isVisible());
    // The cycle repeats.
    dialog.show();
    QVERIFY(!splash.isVisible());
    dialog.hide();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::twoWindows()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    QDialog dialog;
    QMainWindow mainWindow;
    dialog.show();
    mainWindow.show();
    QVERIFY(!splash.isVisible());
    dialog.hide();
    QVERIFY(!splash.isVisible());
    // A second Show of a recorded window does not count it twice.
    dialog.show();
    dialog.hide();
    QVERIFY(!splash.isVisible());
    mainWindow.hide();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::childWidgetsAndItselfIgnored()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));

    // Shown inside a shown window and destroyed without a Hide event: had it
    // been recorded, it would keep the splash hidden for good.
    QDialog dialog;
    dialog.show();
    auto *label = new QLabel(QStringLiteral("child"), &dialog);
    label->show();
    QVERIFY(label->isVisible());
    delete label;
    dialog.hide();
    QVERIFY(splash.isVisible());

    // A child's Show while the splash is up.
    QWidget hiddenParent;
    QWidget child(&hiddenParent);
    QShowEvent show;
    QCoreApplication::sendEvent(&child, &show);
    QVERIFY(splash.isVisible());

    // The splash's own Hide and Show events.
    splash.hide();
    QVERIFY(!splash.isVisible());
    splash.show();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::unrecordedWindowHiddenShowsSplash()
{
    QDialog early;
    early.show();
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    splash.hide();
    early.hide();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::toolTipCountsAsWindow()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    QWidget anchor;
    QToolTip::showText(QPoint(20, 20), QStringLiteral("tip"), &anchor);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(!splash.isVisible());
    QToolTip::hideText();
    QTRY_VERIFY(splash.isVisible());
}

void tst_QxSplashScreen::popupMenuCountsAsWindow()
{
    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    QMenu menu;
    menu.addAction(QStringLiteral("Open"));
    menu.popup(QPoint(20, 20));
    QTRY_VERIFY(menu.isVisible());
    QVERIFY(!splash.isVisible());
    menu.hide();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::nullPicture()
{
    QxSplashScreen splash(QPixmap(), QStringLiteral("1"));
    QVERIFY(!splash.isVisible());
    QVERIFY(splash.message().isEmpty());
    QVERIFY(splash.mask().isEmpty());

    QDialog dialog;
    dialog.show();
    QVERIFY(!splash.isVisible());
    dialog.hide();
    QVERIFY(splash.isVisible());
}

void tst_QxSplashScreen::noEffectAfterScheduleDeletion()
{
    QPointer<QxSplashScreen> splash = new QxSplashScreen(splashPicture(), QStringLiteral("1"));
    splash->scheduleDeletion();

    // The filter is gone before the event loop runs.
    QDialog dialog;
    dialog.show();
    QVERIFY(splash->isVisible());

    QTRY_VERIFY(splash.isNull());
    dialog.hide();
    dialog.show();
    QVERIFY(dialog.isVisible());
}

enum class Dismissal { Finish, Close, Click, RightClick };
Q_DECLARE_METATYPE(Dismissal)

void tst_QxSplashScreen::staysHiddenOnceDismissed_data()
{
    QTest::addColumn<Dismissal>("dismissal");

    QTest::newRow("finish") << Dismissal::Finish;
    QTest::newRow("close") << Dismissal::Close;
    QTest::newRow("click") << Dismissal::Click;
    QTest::newRow("right click") << Dismissal::RightClick;
}

void tst_QxSplashScreen::staysHiddenOnceDismissed()
{
    QFETCH(Dismissal, dismissal);

    QxSplashScreen splash(splashPicture(), QStringLiteral("1"));
    QMainWindow mainWindow;
    if (dismissal == Dismissal::Finish) {
        // finish() waits for the main window to appear.
        mainWindow.show();
        splash.finish(&mainWindow);
    } else {
        if (dismissal == Dismissal::Close)
            splash.close();
        else
            QTest::mouseClick(&splash,
                              dismissal == Dismissal::Click ? Qt::LeftButton : Qt::RightButton,
                              Qt::NoModifier, QPoint(10, 10));
        QVERIFY(!splash.isVisible());
        mainWindow.show();
    }
    QVERIFY(!splash.isVisible());

    mainWindow.hide();
    QVERIFY(!splash.isVisible());
    // Nor does a window that was never recorded bring it back.
    QDialog unrecorded;
    QHideEvent hide;
    QCoreApplication::sendEvent(&unrecorded, &hide);
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(tst_QxSplashScreen)
#include "tst_QxSplashScreen.moc"
