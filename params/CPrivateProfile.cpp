#include "CPrivateProfile.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
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

// Reads at most maxBytes; one byte more means the file is too large, and
// nothing past it is read.
bool ReadAll(int fd, QByteArray& data, int& errorCode, qint64 maxBytes)
{
    char buffer[65536];
    for (;;) {
        const qint64 room = maxBytes + 1 - data.size();
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(std::min<qint64>(room, sizeof buffer)));
        if (n > 0) {
            data.append(buffer, n);
            if (data.size() > maxBytes) {
                errorCode = EFBIG;
                return false;
            }
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

bool CPrivateProfile::Load(const QString& path, int& errorCode, qint64 maxBytes)
{
    m_blocks.assign(1, Block{});
    m_sections.clear();
    m_encoding = Encoding::Utf8;
    m_crlf = true;
    errorCode = 0;

    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY, errorCode);
    if (fd < 0)
        return false;
    QByteArray data;
    // The size first: a file larger than any parameter file is refused unread.
    struct stat info {};
    bool ok = true;
    if (::fstat(fd, &info) != 0) {
        errorCode = errno;
        ok = false;
    } else if (info.st_size > maxBytes) {
        errorCode = EFBIG;
        ok = false;
    } else {
        ok = ReadAll(fd, data, errorCode, maxBytes);
    }
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
    QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // The text after the last line break is a line only when it is not empty.
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        const QString trimmed = line.trimmed();
        if (IsSectionHeader(trimmed)) {
            const QString name = NameKey(SectionName(trimmed));
            if (!m_sections.contains(name))
                m_sections.insert(name, m_blocks.size());
            m_blocks.emplace_back();
        }
        Block& block = m_blocks.back();
        if (trimmed.isEmpty()) {
            block.blankTail.append(std::move(line));
            continue;
        }
        if (!block.blankTail.isEmpty()) {
            block.lines.append(block.blankTail);
            block.blankTail.clear();
        }
        block.lines.append(std::move(line));
    }
    for (auto block = m_blocks.begin() + 1; block != m_blocks.end(); ++block) {
        block->keys.reserve(block->lines.size());
        for (qsizetype i = 1; i < block->lines.size(); ++i) {
            const QString trimmed = block->lines[i].trimmed();
            if (trimmed.isEmpty())
                continue;
            // The first of two equal keys wins.
            QString name = NameKey(KeyName(trimmed));
            if (!block->keys.contains(name))
                block->keys.insert(std::move(name), i);
        }
    }
    return true;
}

QString CPrivateProfile::NameKey(QString name)
{
    return std::move(name).trimmed().toCaseFolded();
}

const CPrivateProfile::Block* CPrivateProfile::FindSection(const QString& section) const
{
    const auto found = m_sections.constFind(NameKey(section));
    return found == m_sections.cend() ? nullptr : &m_blocks[*found];
}

QString CPrivateProfile::GetString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Block* block = FindSection(section);
    if (!block)
        return defaultValue;
    const auto line = block->keys.constFind(NameKey(key));
    if (line == block->keys.cend())
        return defaultValue;
    return KeyValue(block->lines[*line].trimmed());
}

void CPrivateProfile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key.trimmed() + QLatin1Char('=') + value;
    const auto found = m_sections.constFind(NameKey(section));
    if (found == m_sections.cend()) {
        // Parted from the text before it by a blank line.
        Block& last = m_blocks.back();
        if (last.blankTail.isEmpty() && !last.lines.isEmpty())
            last.blankTail.append(QString());
        m_sections.insert(NameKey(section), m_blocks.size());
        Block& added = m_blocks.emplace_back();
        added.lines = {QLatin1Char('[') + section.trimmed() + QLatin1Char(']'), entry};
        added.keys.insert(NameKey(key), 1);
        return;
    }
    Block& block = m_blocks[*found];
    const auto line = block.keys.constFind(NameKey(key));
    if (line != block.keys.cend()) {
        block.lines[*line] = entry;
        return;
    }
    block.keys.insert(NameKey(key), block.lines.size());
    block.lines.append(entry);
}

QByteArray CPrivateProfile::Encode() const
{
    const QString newline = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const Block& block : m_blocks) {
        for (const QStringList* lines : {&block.lines, &block.blankTail}) {
            for (const QString& line : *lines) {
                text += line;
                text += newline;
            }
        }
    }
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
