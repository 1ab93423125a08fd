#include <lumo/QxUniqueFilename.h>

#include <QtTest>

#include <QDir>
#include <QTemporaryDir>

class tst_QxUniqueFilename : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void uniqueFilename_data();
    void uniqueFilename();

private:
    QString m_startDirectory;
    QScopedPointer<QTemporaryDir> m_root;
};

void tst_QxUniqueFilename::initTestCase()
{
    m_startDirectory = QDir::currentPath();
}

void tst_QxUniqueFilename::cleanupTestCase()
{
    QDir::setCurrent(m_startDirectory);
}

// Each row works in a fresh directory of its own, which is also the current
// directory, so that bare file names can be tried as well.
void tst_QxUniqueFilename::init()
{
    QDir::setCurrent(m_startDirectory);
    m_root.reset(new QTemporaryDir);
    QVERIFY(m_root->isValid());
    QVERIFY(QDir::setCurrent(m_root->path()));
}

void tst_QxUniqueFilename::uniqueFilename_data()
{
    // "existing" entries ending in "/" are directories, those ending in "@"
    // symbolic links to a missing file; "$ROOT" stands for the row's directory
    // as an absolute path.
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free name unchanged") << QStringList() << "photo.png"
                                         << "photo.png";
    QTest::newRow("first number") << QStringList { "photo.png" } << "photo.png"
                                  << "photo1.png";
    QTest::newRow("taken numbers skipped")
            << QStringList { "photo.png", "photo1.png", "photo2.png" } << "photo.png"
            << "photo3.png";
    QTest::newRow("numbering ignores gaps after the first free one")
            << QStringList { "photo.png", "photo2.png" } << "photo.png"
            << "photo1.png";
    QTest::newRow("last extension only") << QStringList { "a.b.c" } << "a.b.c"
                                         << "a.b1.c";
    QTest::newRow("no dot") << QStringList { "report" } << "report"
                            << "1.report";
    QTest::newRow("no dot, first number taken") << QStringList { "report", "1.report" } << "report"
                                                << "2.report";
    QTest::newRow("trailing dot") << QStringList { "file." } << "file."
                                  << "file1.";
    QTest::newRow("trailing dot, first number taken")
            << QStringList { "file.", "file1." } << "file."
            << "file2.";
    QTest::newRow("leading dot only") << QStringList { ".config" } << ".config"
                                      << "1.config";
    QTest::newRow("already numbered") << QStringList { "photo1.png" } << "photo1.png"
                                      << "photo11.png";
    QTest::newRow("already numbered, next taken")
            << QStringList { "photo1.png", "photo11.png" } << "photo1.png"
            << "photo12.png";
    QTest::newRow("empty") << QStringList() << ""
                           << "";
    QTest::newRow("directory counts as taken") << QStringList { "photo.png/" } << "photo.png"
                                               << "photo1.png";
    QTest::newRow("numbered directory counts as taken")
            << QStringList { "photo.png", "photo1.png/" } << "photo.png"
            << "photo2.png";
    QTest::newRow("non-ASCII name") << QStringList { "Bild ä.png" } << "Bild ä.png"
                                    << "Bild ä1.png";

    // The directory part is never numbered.
    QTest::newRow("dot only in directory")
            << QStringList { "my.dir/", "my.dir/file" } << "my.dir/file"
            << "my.dir/1.file";
    QTest::newRow("dots in directory and name")
            << QStringList { "my.dir/", "my.dir/photo.png" } << "my.dir/photo.png"
            << "my.dir/photo1.png";
    QTest::newRow("directory without dot, name without dot")
            << QStringList { "dir/", "dir/report" } << "dir/report"
            << "dir/1.report";
    QTest::newRow("hidden file in directory")
            << QStringList { "cfg/", "cfg/.config" } << "cfg/.config"
            << "cfg/1.config";
    QTest::newRow("nested dotted directories")
            << QStringList { "data/", "data/my.dir/", "data/my.dir/file" } << "data/my.dir/file"
            << "data/my.dir/1.file";
    QTest::newRow("absolute path") << QStringList { "v1.0/", "v1.0/photo.png", "v1.0/photo1.png" }
                                   << "$ROOT/v1.0/photo.png"
                                   << "$ROOT/v1.0/photo2.png";
    QTest::newRow("dot-dot segment") << QStringList { "a.b/", "c/", "c/x" } << "a.b/../c/x"
                                     << "a.b/../c/1.x";
    QTest::newRow("missing directory") << QStringList() << "nowhere/photo.png"
                                       << "nowhere/photo.png";

    // A dangling link is a directory entry all the same: writing through it
    // would create a file wherever it points.
    // clang-format off
    QTest::newRow("dangling link is taken") << QStringList { "photo.png@" } << "photo.png" << "photo1.png";
    QTest::newRow("numbered dangling link is taken") << QStringList { "photo.png", "photo1.png@" } << "photo.png" << "photo2.png";
    QTest::newRow("dangling link in directory") << QStringList { "dir/", "dir/photo.png@" } << "$ROOT/dir/photo.png" << "$ROOT/dir/photo1.png";
    // clang-format on
}

void tst_QxUniqueFilename::uniqueFilename()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, argument);
    QFETCH(QString, expected);

    for (const QString &entry : qAsConst(existing)) {
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(entry));
        } else if (entry.endsWith(QLatin1Char('@'))) {
            QVERIFY(QFile::link(QStringLiteral("no such target"), entry.chopped(1)));
            QVERIFY(!QFile::exists(entry.chopped(1)));
        } else {
            QFile file(entry);
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(entry));
        }
    }
    const QString root = m_root->path();
    argument.replace(QLatin1String("$ROOT"), root);
    expected.replace(QLatin1String("$ROOT"), root);

    const QString result = QxUniqueFilename::uniqueFilename(argument);
    QCOMPARE(result, expected);
    const QFileInfo entry(result);
    QVERIFY(!entry.exists() && !entry.isSymLink());
}

QTEST_GUILESS_MAIN(tst_QxUniqueFilename)
#include "tst_QxUniqueFilename.moc"
