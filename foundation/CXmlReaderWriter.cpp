#include "CXmlReaderWriter.h"

#include "CCodePageEncoder.h"
#include "CMessageFormatter.h"
#include "CPrivateException.h"
#include "platform/MessageFormat.h"
#include "platform/SystemErrorText.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringConverter>

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// Parse failures and unreadable files carry the same three fields.
[[noreturn]] void ThrowParseError(int line, const QString& sourceText, const QString& reason)
{
    throw CPrivateException(FormatPrintfTemplate(QStringLiteral("line: %d\nsrc text: %s\nreason: %s"),
                                                 {FormatArg(line), FormatArg(sourceText), FormatArg(reason)}));
}

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads the whole file; on failure gives the errno of the failing call.
bool ReadWholeFile(const QString& path, std::string& data, int& error)
{
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file) {
        error = errno != 0 ? errno : ENOENT;
        return false;
    }
    char chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        data.append(chunk, got);
        if (got < sizeof chunk) {
            if (std::ferror(file.get())) {
                error = errno != 0 ? errno : EIO;
                return false;
            }
            return true;
        }
    }
}

// The encoding the xml declaration names; empty when the file has none.
QString DeclaredEncoding(const std::string& raw)
{
    if (raw.compare(0, 5, "<?xml") != 0)
        return {};
    const std::size_t end = raw.find("?>");
    if (end == std::string::npos)
        return {};
    static const QRegularExpression pattern(QStringLiteral(R"(^<\?xml\s[^>]*?\bencoding\s*=\s*(["'])([A-Za-z][A-Za-z0-9._:-]*)\1)"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(raw.data(), static_cast<qsizetype>(end)));
    return match.hasMatch() ? match.captured(2) : QString();
}

// Editors that write "Shift_JIS" write the Windows code page, which keeps
// backslash and tilde where ASCII has them.
QString CodePageOfDeclaration(const QString& declared)
{
    const QString name = declared.toUpper();
    if (name == u"SHIFT_JIS" || name == u"SHIFT-JIS" || name == u"SJIS" || name == u"X-SJIS" || name == u"MS_KANJI")
        return QStringLiteral("CP932");
    return name;
}

// The parser works on UTF-8; a UTF-16 or UTF-32 file, or one whose
// declaration names another code page, is turned into UTF-8 first so that
// the error offset points into text we can show.
std::string AsUtf8(const std::string& raw)
{
    const QByteArrayView bytes(raw.data(), static_cast<qsizetype>(raw.size()));
    const auto encoding = QStringConverter::encodingForData(bytes);
    if (!encoding) {
        const QString declared = DeclaredEncoding(raw);
        // Without a byte order mark the bytes cannot be UTF-16 or UTF-32,
        // whatever the declaration says.
        if (declared.isEmpty() || declared.startsWith(u"UTF", Qt::CaseInsensitive) || declared.startsWith(u"UCS", Qt::CaseInsensitive))
            return raw;
        const QString codePage = CodePageOfDeclaration(declared);
        const CCodePageEncoder decoder(codePage);
        if (decoder.GetCodePage() != codePage)
            ThrowParseError(1, QString::fromLatin1(raw.substr(0, raw.find('\n'))).trimmed(), QStringLiteral("Unsupported encoding \"%1\"").arg(declared));
        const QByteArray utf8 = decoder.Decode(QByteArray(raw.data(), static_cast<qsizetype>(raw.size()))).toUtf8();
        return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    if (*encoding == QStringConverter::Utf8)
        return raw;
    QStringDecoder decoder(*encoding);
    const QString text = decoder(bytes);
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

// Text content as the DOM gives it: all text below the node, in document
// order. Walked without recursion: a file may nest as deep as it likes.
void AppendText(const pugi::xml_node& node, std::string& out)
{
    pugi::xml_node child = node.first_child();
    while (child) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        if (child.type() == pugi::node_element && child.first_child()) {
            child = child.first_child();
            continue;
        }
        while (!child.next_sibling() && child.parent() != node)
            child = child.parent();
        child = child.next_sibling();
    }
}

} // namespace

CXmlReaderWriter::CXmlReaderWriter() = default;
CXmlReaderWriter::~CXmlReaderWriter() = default;

void CXmlReaderWriter::Create(const QString& rootName)
{
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node declaration = document->append_child(pugi::node_declaration);
    CheckResult(!declaration, ENOMEM);
    CheckResult(!declaration.append_attribute("version").set_value("1.0"), ENOMEM);
    CheckResult(!declaration.append_attribute("encoding").set_value("utf-8"), ENOMEM);
    pugi::xml_node root = document->append_child(pugi::node_element);
    CheckResult(!root, ENOMEM);
    CheckResult(!root.set_name(rootName.toUtf8().constData()), ENOMEM);
    m_document = std::move(document);
}

void CXmlReaderWriter::Load(const QString& path)
{
    std::string raw;
    int error = 0;
    if (!ReadWholeFile(path, raw, error))
        ThrowParseError(0, QString(), SystemErrorText(error).trimmed());

    const std::string data = AsUtf8(raw);
    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = document->load_buffer(data.data(), data.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        const std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0)), data.size());
        int line = 1;
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < offset; ++i) {
            if (data[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        std::size_t lineEnd = data.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = data.size();
        QString source = QString::fromUtf8(data.data() + lineStart, static_cast<qsizetype>(lineEnd - lineStart));
        if (source.endsWith(u'\r'))
            source.chop(1);
        source.remove(QChar(0xFEFF));
        ThrowParseError(line, source, QString::fromUtf8(result.description()));
    }
    m_document = std::move(document);
}

QString CXmlReaderWriter::GetNodeText(const QString& xpath) const
{
    CheckResult(m_document == nullptr, EINVAL);
    pugi::xpath_node found;
    try {
        const pugi::xml_node context = m_document->document_element() ? m_document->document_element() : pugi::xml_node(*m_document);
        found = context.select_node(xpath.toUtf8().constData());
    } catch (const pugi::xpath_exception&) {
        CheckResult(true, EINVAL);
    }
    CheckResult(!found, ENOENT);

    if (found.attribute())
        return QString::fromUtf8(found.attribute().value());
    const pugi::xml_node node = found.node();
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
        return QString::fromUtf8(node.value());
    std::string text;
    AppendText(node, text);
    return QString::fromUtf8(text);
}

void CXmlReaderWriter::CheckResult(bool failed, int resultCode)
{
    if (failed)
        throw CPrivateException(CMessageFormatter(resultCode));
}
