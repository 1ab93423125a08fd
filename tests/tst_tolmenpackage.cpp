// The package entry and the build stamp of the built liblumo.so, and the
// lumo-stamp tool that reads it.

#include <buildstamp.h>
#include <lumo/lumo_version.h>

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
    void restampAfterStrip_data();
    void restampAfterStrip();
    void versionHeader();
    void versionCheck_data();
    void versionCheck();

private:
    static QByteArray libraryBytes();
    static QStringList fields();
    static QMap<QString, QString> values(const QByteArray &text);
    static int runTool(const QStringList &arguments, QByteArray *output = nullptr);
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

QMap<QString, QString> tst_tolmenpackage::values(const QByteArray &text)
{
    buildstamp::Pairs pairs;
    std::string error;
    QMap<QString, QString> map;
    if (buildstamp::parse(text.toStdString(), pairs, error)) {
        for (const auto &[key, value] : pairs)
            map.insert(QString::fromStdString(key), QString::fromStdString(value));
    }
    return map;
}

int tst_tolmenpackage::runTool(const QStringList &arguments, QByteArray *output)
{
    QProcess tool;
    tool.start(QStringLiteral(LUMO_STAMP_TOOL), arguments);
    if (!tool.waitForFinished() || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = tool.readAllStandardOutput() + tool.readAllStandardError();
    return tool.exitCode();
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
    // The name of the library's unversioned file: liblumo.so (Qt 6: liblumo6.so).
    QCOMPARE(value["filename"], QStringLiteral(LUMO_LINKER_FILE_NAME));
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
    QTest::newRow("restamp without a stamp")
            << "--restamp" << QByteArray(5000, 'a') << false << 2 << "no build stamp";
    QTest::newRow("restamp a second marker")
            << "--restamp" << twoMarkers << false << 1 << "found 2 times";
    QTest::newRow("load a non-library")
            << "--load" << QByteArray("not an ELF file") << false << 2 << "cannot load";
    QTest::newRow("intact copy checks") << "--check" << library << false << 0 << "build stamp OK";
    QTest::newRow("intact copy needs no restamp")
            << "--restamp" << library << false << 0 << "unchanged";
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

// A packager strips the library (as dh_strip or `cmake --install --strip` do),
// which shrinks it: the stamp's size is then wrong until --restamp sets it,
// through the file's own name or a link to it, and changes nothing else.
void tst_tolmenpackage::restampAfterStrip_data()
{
    QTest::addColumn<QStringList>("stripArguments");
    QTest::addColumn<bool>("throughLink");

    // clang-format off
    QTest::newRow("strip --strip-unneeded, as dh_strip") << QStringList { "--remove-section=.comment", "--remove-section=.note", "--strip-unneeded" } << false;
    QTest::newRow("strip --strip-all, as install --strip") << QStringList { "--strip-all" } << false;
    QTest::newRow("strip, through the link liblumo.so") << QStringList { "--strip-all" } << true;
    // clang-format on
}

void tst_tolmenpackage::restampAfterStrip()
{
    QFETCH(QStringList, stripArguments);
    QFETCH(bool, throughLink);

    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("liblumo.so.1.0.0"));
    QVERIFY(QFile::copy(QStringLiteral(LUMO_LIBRARY_FILE), real));
    QString name = real;
    if (throughLink) {
        name = dir.filePath(QStringLiteral("liblumo.so"));
        QVERIFY(QFile::link(QStringLiteral("liblumo.so.1.0.0"), name));
    }
    const qint64 builtSize = QFileInfo(real).size();
    QCOMPARE(QProcess::execute(QStringLiteral("strip"), stripArguments << real), 0);
    const qint64 strippedSize = QFileInfo(real).size();
    QVERIFY2(strippedSize < builtSize, "strip left the library as it was");

    QByteArray output;
    QCOMPARE(runTool({ QStringLiteral("--check"), name }, &output), 1);
    QVERIFY2(output.contains("size is"), output.constData());

    QCOMPARE(runTool({ QStringLiteral("--restamp"), name }, &output), 0);
    QCOMPARE(QFileInfo(real).size(), strippedSize);
    QCOMPARE(runTool({ QStringLiteral("--check"), name }, &output), 0);

    QFile file(real);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    buildstamp::Stamp stamp;
    std::string error;
    QVERIFY(buildstamp::read(bytes.toStdString(), stamp, error));
    QMap<QString, QString> restamped = values(QByteArray::fromStdString(stamp.text));
    QMap<QString, QString> built = values(tolmenpackage_lumo());
    QCOMPARE(restamped.take(QStringLiteral("size")), QString::number(strippedSize));
    built.remove(QStringLiteral("size"));
    QCOMPARE(restamped, built);
}

// lumo_version.h and the stamp take their numbers from the one version of the project.
void tst_tolmenpackage::versionHeader()
{
    const QMap<QString, QString> value = values(tolmenpackage_lumo());
    QCOMPARE(QString::number(LUMO_VERSION_MAJOR), value["version_major"]);
    QCOMPARE(QString::number(LUMO_VERSION_MINOR), value["version_minor"]);
    QCOMPARE(QString::number(LUMO_VERSION_PATCH), value["version_patch"]);
    QCOMPARE(QStringLiteral(LUMO_VERSION_STRING),
             value["version_major"] + '.' + value["version_minor"] + '.' + value["version_patch"]);
    QCOMPARE(LUMO_VERSION,
             LUMO_VERSION_CHECK(value["version_major"].toInt(), value["version_minor"].toInt(),
                                value["version_patch"].toInt()));
#if LUMO_VERSION < LUMO_VERSION_CHECK(1, 0, 0)
    QFAIL("the preprocessor finds lumo older than 1.0.0");
#endif
}

// LUMO_VERSION_CHECK orders versions as their numbers do, field by field.
void tst_tolmenpackage::versionCheck_data()
{
    QTest::addColumn<int>("older");
    QTest::addColumn<int>("newer");

    // clang-format off
    QTest::newRow("patch") << LUMO_VERSION_CHECK(1, 2, 3) << LUMO_VERSION_CHECK(1, 2, 4);
    QTest::newRow("minor over patch") << LUMO_VERSION_CHECK(1, 2, 255) << LUMO_VERSION_CHECK(1, 3, 0);
    QTest::newRow("major over minor") << LUMO_VERSION_CHECK(1, 255, 255) << LUMO_VERSION_CHECK(2, 0, 0);
    QTest::newRow("two-digit minor") << LUMO_VERSION_CHECK(1, 9, 0) << LUMO_VERSION_CHECK(1, 10, 0);
    // clang-format on
}

void tst_tolmenpackage::versionCheck()
{
    QFETCH(int, older);
    QFETCH(int, newer);
    QVERIFY(older < newer);
}

QTEST_APPLESS_MAIN(tst_tolmenpackage)
#include "tst_tolmenpackage.moc"
