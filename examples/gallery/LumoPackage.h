#pragma once

#include <QLibrary>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

/// liblumo.so loaded the way a host loads its packages: QLibrary on the file,
/// the entry point tolmenpackage_lumo resolved by name, and the build stamp it
/// returns split into its key/value pairs.
class LumoPackage
{
public:
    using Entry = QPair<QString, QString>;

    /// Where the gallery looks for the library when no file is named: where
    /// the build installs it (bin/../lib..., or the installed lumo the gallery
    /// was built against) and where lumo's build puts it (build/bin, build/lib).
    static QStringList candidateFiles();

    /// Splits "|key|value|key|value" into pairs. Returns no pairs for a text
    /// that does not start with "|" or whose fields do not pair up.
    static QVector<Entry> parseStamp(const QString &text);

    /// Loads \a fileName, or the first existing candidate when it is empty.
    /// On failure, errorString() says why and the entries stay empty.
    bool load(const QString &fileName = QString());

    /// Loads \a fileName as load() does and prints the file's name and its
    /// stamp, one "key: value" line each, on standard output. Returns the
    /// exit code: 0, or 1 with the reason on standard error.
    static int printStamp(const QString &fileName);

    QString fileName() const { return m_fileName; }
    QString errorString() const { return m_error; }
    /// The text as tolmenpackage_lumo returned it.
    QString stampText() const { return m_stampText; }
    QVector<Entry> entries() const { return m_entries; }
    /// The value of \a key, or a null string if the stamp has no such key.
    QString value(const QString &key) const;
    /// "major.minor.patch" from the stamp, or an empty text.
    QString version() const;

private:
    QLibrary m_library;
    QString m_fileName;
    QString m_error;
    QString m_stampText;
    QVector<Entry> m_entries;
};
