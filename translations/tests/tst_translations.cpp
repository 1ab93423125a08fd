#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxSnapWidget.h>
#include <lumo/QxSplashScreen.h>
#include <lumo/QxTextEditWithAutocompletion.h>

#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTranslator>

// The German translation, as installed: compiled from translations/lumo_de.ts.
class tst_Translations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void catalogue_data();
    void catalogue();
    void classesSpeakGerman();
    void englishWithoutTranslator();

private:
    static QString snapshotLine();

    QTranslator m_german;
};

void tst_Translations::initTestCase()
{
    QVERIFY2(m_german.load(LUMO_GERMAN_QM), LUMO_GERMAN_QM);
    QVERIFY(!m_german.isEmpty());
    QCOMPARE(m_german.language(), QString("de_DE"));
}

void tst_Translations::catalogue_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("german");
    QTest::newRow("splash version") << "QApplication"
                                    << "Version "
                                    << "Version ";
    QTest::newRow("snapshot report") << "QxSnapWidget"
                                     << "Snapshot written in"
                                     << "Schnappschuss gespeichert in";
    QTest::newRow("editor default text")
            << "QxTextEditWithAutocompletion"
            << "Here is the text that will be autocompleted."
            << "Hier steht der Text, der automatisch vervollständigt wird.";
    QTest::newRow("form title") << "QxSliderSpinBox"
                                << "Form"
                                << "Formular";
}

// Every text of the library has its translation in the compiled file.
void tst_Translations::catalogue()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, german);
    QCOMPARE(m_german.translate(context.toUtf8(), source.toUtf8()), german);
}

QString tst_Translations::snapshotLine()
{
    QTemporaryDir dir;
    QWidget widget;
    widget.resize(20, 10);
    QString line;
    QTextStream report(&line);
    QxSnapWidget::snapWidget(&widget, dir.filePath("w.png"), report);
    return line;
}

void tst_Translations::classesSpeakGerman()
{
    QVERIFY(QCoreApplication::installTranslator(&m_german));

    QxSliderSpinBox sliderSpinBox;
    QCOMPARE(sliderSpinBox.windowTitle(), QString("Formular"));

    QxTextEditWithAutocompletion editor;
    QCOMPARE(editor.toPlainText(),
             QString("Hier steht der Text, der automatisch vervollständigt wird."));

    QVERIFY2(snapshotLine().startsWith("Schnappschuss gespeichert in \""),
             qPrintable(snapshotLine()));

    // A null picture keeps the splash off the screen; its text is built all the same.
    QxSplashScreen splash(QPixmap(), "1.2.3");
    QCOMPARE(splash.buildMessage(QString(), true),
             m_german.translate("QApplication", "Version ") + "1.2.3");
    splash.scheduleDeletion();

    QVERIFY(QCoreApplication::removeTranslator(&m_german));
}

void tst_Translations::englishWithoutTranslator()
{
    QxSliderSpinBox sliderSpinBox;
    QCOMPARE(sliderSpinBox.windowTitle(), QString("Form"));
    QxTextEditWithAutocompletion editor;
    QCOMPARE(editor.toPlainText(), QString("Here is the text that will be autocompleted."));
    QVERIFY(snapshotLine().startsWith("Snapshot written in \""));
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
