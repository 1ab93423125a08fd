#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cstring>

// A fresh application picks the library's translation for its locale by
// itself: each case starts this program anew ("--probe") in an environment of
// its own, and the probe prints the texts of two classes.
class tst_TranslationsStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshApplication_data();
    void freshApplication();
};

static int probe(int argc, char **argv)
{
    QApplication app(argc, argv);
    QxSliderSpinBox sliderSpinBox;
    QxTextEditWithAutocompletion editor;
    QTextStream out(stdout);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    out.setCodec("UTF-8"); // Qt 6 streams are UTF-8 by default
#endif
    out << sliderSpinBox.windowTitle() << '\n' << editor.toPlainText() << '\n';
    return 0;
}

static const QString german
        = QStringLiteral("Formular\nHier steht der Text, der automatisch vervollständigt wird.\n");
static const QString english
        = QStringLiteral("Form\nHere is the text that will be autocompleted.\n");

void tst_TranslationsStartup::freshApplication_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("throughSymlink");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("German locale") << QStringList{ "LC_ALL=de_DE.UTF-8" } << false << german;
    QTest::newRow("German from LANG") << QStringList{ "LANG=de_DE.UTF-8" } << false << german;
    QTest::newRow("Austrian German falls back to German") << QStringList{ "LC_ALL=de_AT.UTF-8" } << false << german;
    QTest::newRow("English locale") << QStringList{ "LC_ALL=en_US.UTF-8" } << false << english;
    QTest::newRow("no translation for the locale") << QStringList{ "LC_ALL=fr_FR.UTF-8" } << false << english;
    QTest::newRow("turned off") << QStringList{ "LC_ALL=de_DE.UTF-8", "LUMO_NO_TRANSLATIONS=1" } << false << english;
    QTest::newRow("library loaded through a symbolic link") << QStringList{ "LC_ALL=de_DE.UTF-8" } << true << german;
    // clang-format on
}

void tst_TranslationsStartup::freshApplication()
{
    QFETCH(QStringList, environment);
    QFETCH(bool, throughSymlink);
    QFETCH(QString, expected);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE", "LUMO_NO_TRANSLATIONS" })
        env.remove(QString::fromLatin1(name));
    for (const QString &assignment : environment)
        env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));

    // The dynamic loader takes the links' folder, where no translations are.
    QTemporaryDir linkDir;
    if (throughSymlink) {
        for (const QString &library :
             { QStringLiteral(LUMO_LIBRARY_FILE), QStringLiteral(ZVLIB_FILE) })
            QVERIFY(QFile::link(library, linkDir.filePath(QFileInfo(library).fileName())));
        env.insert("LD_LIBRARY_PATH", linkDir.path());
    }

    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), { "--probe" });
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), expected);
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    QApplication app(argc, argv);
    tst_TranslationsStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translationsstartup.moc"
