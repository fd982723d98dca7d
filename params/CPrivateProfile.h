#pragma once
// A private-profile (INI) file held in memory, read and written with the
// rules of the Windows profile functions that parameter files rely on:
// section and key names compared without regard to case and surrounding
// blanks, the first of two equal sections or keys wins, a missing key gives
// the caller's default, and a write changes only its own line, so that the
// rest of an existing file is kept as it stands.
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

class CPrivateProfile
{
public:
    // Reads the whole file. False, with the errno value in errorCode, when it
    // cannot be opened or read, or with EFBIG, unread, when it holds more than
    // maxBytes; the profile is then empty.
    bool Load(const QString& path, int& errorCode, qint64 maxBytes);

    // The value of the key, without surrounding blanks and one pair of
    // matching quotes; defaultValue when the section or key is missing.
    QString GetString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool HasSection(const QString& section) const { return m_sections.contains(NameKey(section)); }
    // Replaces the key's value, or adds the key at the end of its section,
    // or adds the section at the end of the file.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // Writes the profile to a new file beside the file that path names (through
    // a symbolic link) and renames it over that file, so that a failure never
    // leaves a half-written file in place of the old one. A write-protected
    // file is refused. Where no new file can be made beside a writable one,
    // the file is written in place. Anything but a regular file is refused,
    // on reading too. False, with the errno value in errorCode, on failure.
    bool Save(const QString& path, int& errorCode) const;

    // Acts as a folder where no new file can be made (the super-user running
    // the tests may make files anywhere).
    static void RefuseTemporaryFilesForTests(bool refuse);

private:
    enum class Encoding { Utf8, Utf8Bom, Latin1, Utf16Le, Utf16Be };

    // A section header and the lines up to the next, or the lines before the
    // first header. Sections and keys are indexed as the file is read and as
    // writes add them, so neither a look-up nor a write goes through the file.
    struct Block
    {
        QStringList lines;
        // The blank lines at its end: a new key goes before them.
        QStringList blankTail;
        // The index in lines of each key's first line.
        QHash<QString, qsizetype> keys;
    };

    // A section or key name as the index holds it.
    static QString NameKey(QString name);
    // The block of the first section of that name, or nullptr.
    const Block* FindSection(const QString& section) const;

    QByteArray Encode() const;
    bool SaveInPlace(const QByteArray& target, int& errorCode) const;

    // The lines before the first header come first, then one block a section.
    std::vector<Block> m_blocks = std::vector<Block>(1);
    QHash<QString, std::size_t> m_sections;
    Encoding m_encoding = Encoding::Utf8;
    bool m_crlf = true;
};
