#include "CPrivateProfile.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool IsSectionHeader(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char('['));
}

QString SectionName(const QString& trimmed)
{
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// A line that is not a section header names a key: the text before the first
// '=' (or the whole line when there is none, with no value).
QString KeyName(const QString& trimmed)
{
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    return (equals < 0 ? trimmed : trimmed.left(equals)).trimmed();
}

QString KeyValue(const QString& trimmed)
{
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {};
    QString value = trimmed.mid(equals + 1).trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool ReadAll(int fd, QByteArray& data, int& errorCode)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            data.append(buffer, n);
        } else if (n == 0) {
            return true;
        } else if (errno != EINTR) {
            errorCode = errno;
            return false;
        }
    }
}

bool WriteAll(int fd, const QByteArray& data, int& errorCode)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            errorCode = errno;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}
// Writes, flushes to the disk and closes fd (also on failure).
bool WriteAndClose(int fd, const QByteArray& data, int& errorCode)
{
    bool ok = WriteAll(fd, data, errorCode);
    if (ok && ::fsync(fd) != 0) {
        errorCode = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        errorCode = errno;
        ok = false;
    }
    return ok;
}

std::atomic<bool> g_refuseTemporaryFiles{false};

} // namespace

void CPrivateProfile::RefuseTemporaryFilesForTests(bool refuse)
{
    g_refuseTemporaryFiles = refuse;
}

bool CPrivateProfile::Load(const QString& path, int& errorCode)
{
    m_lines.clear();
    m_encoding = Encoding::Utf8;
    m_crlf = true;
    errorCode = 0;

    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY, errorCode);
    if (fd < 0)
        return false;
    QByteArray data;
    const bool ok = ReadAll(fd, data, errorCode);
    ::close(fd);
    if (!ok)
        return false;

    QString text;
    if (data.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(data.mid(3));
    } else if (data.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16Le;
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        text = decoder.decode(data.mid(2));
    } else if (data.startsWith("\xFE\xFF")) {
        m_encoding = Encoding::Utf16Be;
        QStringDecoder decoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
        text = decoder.decode(data.mid(2));
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(data);
        if (decoder.hasError()) {
            // Files written by the Windows profile functions are in the ANSI code page.
            m_encoding = Encoding::Latin1;
            text = QString::fromLatin1(data);
        }
    }

    m_crlf = text.isEmpty() || text.contains(QLatin1String("\r\n"));
    m_lines = text.split(QLatin1Char('\n'));
    for (QString& line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // The text after the last line break is a line only when it is not empty.
    if (!m_lines.isEmpty() && m_lines.back().isEmpty())
        m_lines.removeLast();
    return true;
}

int CPrivateProfile::FindSection(const QString& section) const
{
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = m_lines[i].trimmed();
        if (IsSectionHeader(trimmed) && SameName(SectionName(trimmed), wanted))
            return static_cast<int>(i);
    }
    return -1;
}

int CPrivateProfile::SectionEnd(int header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !IsSectionHeader(m_lines[i].trimmed()))
        ++i;
    return static_cast<int>(i);
}

int CPrivateProfile::FindKey(int header, const QString& key) const
{
    const QString wanted = key.trimmed();
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString trimmed = m_lines[i].trimmed();
        if (!trimmed.isEmpty() && SameName(KeyName(trimmed), wanted))
            return i;
    }
    return -1;
}

QString CPrivateProfile::GetString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const int header = FindSection(section);
    if (header < 0)
        return defaultValue;
    const int line = FindKey(header, key);
    if (line < 0)
        return defaultValue;
    return KeyValue(m_lines[line].trimmed());
}

void CPrivateProfile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key.trimmed() + QLatin1Char('=') + value;
    const int header = FindSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        m_lines.append(entry);
        return;
    }
    const int line = FindKey(header, key);
    if (line >= 0) {
        m_lines[line] = entry;
        return;
    }
    // After the section's last entry, before the blank lines that part it from the next.
    int at = SectionEnd(header);
    while (at > header + 1 && m_lines[at - 1].trimmed().isEmpty())
        --at;
    m_lines.insert(at, entry);
}

QByteArray CPrivateProfile::Encode() const
{
    const QString newline = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& line : m_lines)
        text += line + newline;
    switch (m_encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Latin1:
        return text.toLatin1();
    case Encoding::Utf16Le: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
    }
    case Encoding::Utf16Be: {
        QStringEncoder encoder(QStringEncoder::Utf16BE);
        return QByteArray("\xFE\xFF") + QByteArray(encoder.encode(text));
    }
    }
    return text.toUtf8();
}

bool CPrivateProfile::Save(const QString& path, int& errorCode) const
{
    errorCode = 0;
    static std::atomic<unsigned> counter{0};
    // The profile functions write into the file in place: through a symbolic
    // link to the file it names, and never over a write-protected file.
    QByteArray target = QFile::encodeName(path);
    if (char* resolved = ::realpath(target.constData(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists) {
        errorCode = NotARegularFileError(existing.st_mode);
        if (errorCode != 0)
            return false;
        // The bits as well: the super-user passes every access check, but a
        // file nobody may write is read-only for this program too.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            errorCode = EACCES;
            return false;
        }
        if (::access(target.constData(), W_OK) != 0) {
            errorCode = errno;
            return false;
        }
    }
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".tmp" + QByteArray::number(static_cast<qlonglong>(::getpid())) + "-" +
                    QByteArray::number(counter.fetch_add(1));
        fd = g_refuseTemporaryFiles ? (errno = EACCES, -1)
                                    : ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            // A writable file in a folder that is not, or whose name leaves no
            // room for a temporary one beside it: written in place.
            if (exists && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENAMETOOLONG))
                return SaveInPlace(target, errorCode);
            errorCode = errno;
            return false;
        }
    }
    if (fd < 0) {
        errorCode = EEXIST;
        return false;
    }

    // Keep the access rights of the file being replaced.
    struct stat info {};
    if (::stat(target.constData(), &info) == 0)
        ::fchmod(fd, info.st_mode & 07777);

    bool ok = WriteAndClose(fd, Encode(), errorCode);
    if (ok && ::rename(temporary.constData(), target.constData()) != 0) {
        errorCode = errno;
        ok = false;
    }
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

bool CPrivateProfile::SaveInPlace(const QByteArray& target, int& errorCode) const
{
    const int fd = OpenRegularFile(target, O_WRONLY | O_TRUNC, errorCode);
    if (fd < 0)
        return false;
    return WriteAndClose(fd, Encode(), errorCode);
}
