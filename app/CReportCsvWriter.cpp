#include "CReportCsvWriter.h"

#include "foundation/CCodePageEncoder.h"
#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"
#include "platform/RegularFile.h"
#include "platform/SystemErrorText.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int IDS_GROUP = 2450;
constexpr int IDS_NAME = 2451;
constexpr int IDS_PC = 2452;

const QString kQuoteCommaQuote = QStringLiteral("\",\"");

[[noreturn]] void ThrowFileError(const QString& path, int error)
{
    throw CPrivateException(
        CMessageFormatter(QStringLiteral("MSG_ERROR_CSV_FILE"), {path, SystemErrorText(error).trimmed()}));
}

// Closes the file on every way out of the writer.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

} // namespace

QStringList CReportCsvWriter::BuildLines(const CSettings& reference, const CSettings& compared, bool isCompared,
                                         const QString& title, bool hideEmpty)
{
    QStringList lines;
    QString header = QStringLiteral(";") + CStringTable::LoadString(IDS_GROUP) + QLatin1Char(',')
        + CStringTable::LoadString(IDS_NAME) + QLatin1Char(',') + CStringTable::LoadString(IDS_PC);
    if (isCompared)
        header += QLatin1Char(',') + title;
    lines.append(header);

    const CParameterEnumerationInterface catalogue;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n)) {
        const QString referenceText = catalogue.GetValueText(n, reference);
        const QString comparedText = isCompared ? catalogue.GetValueText(n, compared) : QString();
        if (hideEmpty && referenceText.isEmpty() && comparedText.isEmpty())
            continue;
        QString line = QLatin1Char('"') + catalogue.GetGroupName(n) + kQuoteCommaQuote
            + catalogue.GetParameterName(n) + kQuoteCommaQuote + referenceText;
        if (isCompared)
            line += kQuoteCommaQuote + comparedText;
        line += QLatin1Char('"');
        lines.append(line);
    }
    return lines;
}

void CReportCsvWriter::WriteFile(const QString& path, const QStringList& lines, const QString& codePage)
{
    const CCodePageEncoder encoder(codePage);
    QByteArray content;
    for (const QString& line : lines) {
        content += encoder.Encode(line);
        content += "\r\n";
    }

    int error = 0;
    FileDescriptor file(OpenRegularFile(QFile::encodeName(path), O_WRONLY | O_CREAT | O_TRUNC, error));
    if (file.Get() < 0)
        ThrowFileError(path, error);
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(file.Get(), data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowFileError(path, errno);
        }
        data += written;
        left -= written;
    }
    if (::close(file.Release()) != 0)
        ThrowFileError(path, errno);
}

QString CReportCsvWriter::LanguageCodePage()
{
    return CCodePageEncoder::LanguageCodePage();
}
