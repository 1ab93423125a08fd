// The package entry and the build stamp of the built liblumo.so, and the
// lumo-stamp tool that reads it.

#include <buildstamp.h>

#include <QtTest>

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstring>

extern "C" const char *tolmenpackage_lumo();

class tst_tolmenpackage : public QObject
{
    Q_OBJECT

private slots:
    void entryText();
    void areaInMemory();
    void fileLayout();
    void values();
    void tool_data();
    void tool();
    void toolJson();
    void toolLoad();

private:
    static QByteArray libraryBytes();
    static QStringList fields();
};

QByteArray tst_tolmenpackage::libraryBytes()
{
    QFile file(QStringLiteral(LUMO_LIBRARY_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList tst_tolmenpackage::fields()
{
    QStringList parts = QString::fromUtf8(tolmenpackage_lumo()).split(QLatin1Char('|'));
    parts.removeFirst();
    return parts;
}

void tst_tolmenpackage::entryText()
{
    const char *text = tolmenpackage_lumo();
    QVERIFY(text);
    QCOMPARE(tolmenpackage_lumo(), text);
    QVERIFY(QByteArray(text).startsWith("|version_tag|\\|comment|"));

    const QStringList parts = fields();
    QCOMPARE(parts.size(), 32);
    QStringList keys;
    for (int i = 0; i < parts.size(); i += 2)
        keys << parts.at(i);
    QStringList expected;
    for (const std::string &key : buildstamp::keys())
        expected << QString::fromStdString(key);
    QCOMPARE(keys, expected);
    // The text ends with the patch number, then NUL.
    QVERIFY(QByteArray(text).endsWith("|version_patch|" + parts.last().toLatin1()));
}

void tst_tolmenpackage::areaInMemory()
{
    using buildstamp::markerLength;
    using buildstamp::trailerOffset;
    const char *area = tolmenpackage_lumo() - markerLength;
    QCOMPARE(QByteArray(area, markerLength), QByteArray("47") + "VendaxOri11");
    const size_t textLength = std::strlen(area + markerLength);
    QCOMPARE(area[markerLength + textLength], '\0');
    for (size_t i = markerLength + textLength; i < trailerOffset; ++i)
        QCOMPARE(area[i], '\0');
    QCOMPARE(QByteArray(area + trailerOffset, markerLength), QByteArray("11irOx") + "adneV74");
    QCOMPARE(area[buildstamp::areaSize - 1], '\0');
}

void tst_tolmenpackage::fileLayout()
{
    const QByteArray bytes = libraryBytes();
    QVERIFY(!bytes.isEmpty());
    const std::string data(bytes.constData(), size_t(bytes.size()));
    std::string error;
    QVERIFY2(buildstamp::check(data, error), error.c_str());
    QCOMPARE(buildstamp::findMarker(data).size(), size_t(1));

    buildstamp::Stamp stamp;
    QVERIFY(buildstamp::read(data, stamp, error));
    QCOMPARE(QByteArray::fromStdString(stamp.text), QByteArray(tolmenpackage_lumo()));
    QCOMPARE(QByteArray::fromStdString(stamp.pairs.at(10).second),
             QByteArray::number(bytes.size()));
}

void tst_tolmenpackage::values()
{
    const QStringList parts = fields();
    QMap<QString, QString> value;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        value[parts.at(i)] = parts.at(i + 1);

    QCOMPARE(value["version_tag"], QStringLiteral("\\"));
    QVERIFY(QRegularExpression("^[0-9a-f]{40}$").match(value["comment"]).hasMatch());
    QVERIFY(QRegularExpression("^gcc \\d+\\.\\d+\\.\\d+$").match(value["compiler"]).hasMatch());
    QCOMPARE(value["target_os"], QStringLiteral("Linux 64bit"));
    QVERIFY(value["build_cfg"] == "Optimize" || value["build_cfg"] == "Debug");
    QVERIFY(!value["build_user"].isEmpty());
    QVERIFY(!value["build_ip"].isEmpty());
    QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(value["build_time"])
                    .hasMatch());
    QCOMPARE(value["filename"], QStringLiteral("liblumo.so"));
    const QFileInfo library(QStringLiteral(LUMO_LIBRARY_FILE));
    QCOMPARE(value["path"], library.absolutePath() + QLatin1Char('/'));
    QCOMPARE(value["size"], QString::number(library.size()));
    QVERIFY(!value["vendor"].isEmpty());
    QCOMPARE(value["product"], QStringLiteral("lumo"));
    for (const char *key : { "version_major", "version_minor", "version_patch" })
        QVERIFY(QRegularExpression("^\\d+$").match(value[key]).hasMatch());
}

// Files that the tool must reject with one line and a given exit status.
void tst_tolmenpackage::tool_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("content"); // "" with missing = true: no file
    QTest::addColumn<bool>("missing");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QByteArray library = libraryBytes();
    const int area = library.indexOf(QByteArray("47") + "VendaxOri11");
    const int text = area + int(buildstamp::markerLength);
    const int trailer = area + int(buildstamp::trailerOffset);
    const QByteArray good = library.mid(area, int(buildstamp::areaSize));

    QByteArray wrongSize = library;
    wrongSize.append('x');
    QByteArray twoMarkers = library;
    twoMarkers.append(good.left(int(buildstamp::markerLength)));
    QByteArray badTrailer = library;
    badTrailer[trailer + 3] = 'X';
    QByteArray dirtyPadding = library;
    dirtyPadding[area + 4000] = 'X';
    QByteArray noLeadingBar = library;
    noLeadingBar[text] = 'X';
    // "...|version_patch|N" cut to "...|version_patch": the last key loses its value.
    QByteArray keyWithoutValue = library;
    const int patchValue = keyWithoutValue.indexOf("|version_patch|", text) + 14;
    for (int i = patchValue; keyWithoutValue.at(i) != '\0'; ++i)
        keyWithoutValue[i] = '\0';

    QTest::newRow("missing file") << "" << QByteArray() << true << 2 << "cannot open";
    QTest::newRow("empty file") << "" << QByteArray() << false << 2 << "no build stamp";
    QTest::newRow("no stamp") << "--json" << QByteArray(5000, 'a') << false << 2
                              << "no build stamp";
    QTest::newRow("truncated stamp") << "" << good.left(2000) << false << 2 << "truncated";
    QTest::newRow("truncated stamp, check")
            << "--check" << good.left(100) << false << 2 << "truncated";
    QTest::newRow("size differs") << "--check" << wrongSize << false << 1 << "size is";
    QTest::newRow("second marker") << "--check" << twoMarkers << false << 1 << "found 2 times";
    QTest::newRow("broken trailer") << "--check" << badTrailer << false << 1 << "trailing marker";
    QTest::newRow("dirty padding") << "--check" << dirtyPadding << false << 1 << "non-zero bytes";
    QTest::newRow("text without leading bar")
            << "--check" << noLeadingBar << false << 2 << "does not start with '|'";
    QTest::newRow("key without value")
            << "--check" << keyWithoutValue << false << 2 << "key without a value";
    QTest::newRow("unknown option") << "--frobnicate" << good << false << 2 << "usage";
    QTest::newRow("load a non-library")
            << "--load" << QByteArray("not an ELF file") << false << 2 << "cannot load";
    QTest::newRow("intact copy checks") << "--check" << library << false << 0 << "build stamp OK";
}

void tst_tolmenpackage::tool()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, content);
    QFETCH(bool, missing);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liblumo.so"));
    if (!missing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QProcess tool;
    QStringList arguments;
    if (!mode.isEmpty())
        arguments << mode;
    tool.start(QStringLiteral(LUMO_STAMP_TOOL), arguments << path);
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), exitCode);
    const QString output = QString::fromLocal8Bit(exitCode == 0 ? tool.readAllStandardOutput()
                                                                : tool.readAllStandardError());
    QVERIFY2(output.contains(message), qPrintable(output));
    QCOMPARE(output.trimmed().count(QLatin1Char('\n')), 0);
}

void tst_tolmenpackage::toolJson()
{
    QProcess tool;
    tool.start(QStringLiteral(LUMO_STAMP_TOOL),
               { QStringLiteral("--json"), QStringLiteral(LUMO_LIBRARY_FILE) });
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), 0);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(tool.readAllStandardOutput(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject stamp = json.object();
    QCOMPARE(stamp.size(), 16);
    QCOMPARE(stamp.value("version_tag").toString(), QStringLiteral("\\"));
    QCOMPARE(stamp.value("size").toString(), QString::number(QFileInfo(LUMO_LIBRARY_FILE).size()));

    tool.start(QStringLiteral(LUMO_STAMP_TOOL), { QStringLiteral(LUMO_LIBRARY_FILE) });
    QVERIFY(tool.waitForFinished());
    const QList<QByteArray> lines = tool.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines.first(), QByteArray("version_tag: \\"));
}

void tst_tolmenpackage::toolLoad()
{
    QProcess tool;
    tool.start(QStringLiteral(LUMO_STAMP_TOOL),
               { QStringLiteral("--load"), QStringLiteral(LUMO_LIBRARY_FILE) });
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(tool.readAllStandardOutput().trimmed(), QByteArray(tolmenpackage_lumo()));
}

QTEST_APPLESS_MAIN(tst_tolmenpackage)
#include "tst_tolmenpackage.moc"
