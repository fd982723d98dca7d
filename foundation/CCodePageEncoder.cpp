#include "CCodePageEncoder.h"

#include "Globals.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

const QString kDefaultCodePage = QStringLiteral("CP1252");
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The bytes CP1252 leaves undefined. Windows converts each to the control
// character of the same number and back, so text such as a CP932 tag read in
// English survives the round trip; iconv refuses them.
bool UndefinedInWindows1252(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// U+0080 to U+00BF in UTF-8.
constexpr unsigned char kUtf8LeadOfC1 = 0xC2;

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QString CCodePageEncoder::CodePageForLocale(const QString& locale)
{
    const QString name = locale.trimmed();
    // Windows locale names carry their code page after the dot.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && AllDigits(name.mid(dot + 1)))
        return QStringLiteral("CP") + name.mid(dot + 1);
    // "ja_JP.UTF-8", "ja", "Japanese": the Japanese Windows code page, never
    // SHIFT_JIS, which maps backslash and tilde elsewhere.
    if (name.startsWith(QLatin1String("ja"), Qt::CaseInsensitive))
        return QStringLiteral("CP932");
    return kDefaultCodePage;
}

CCodePageEncoder::CCodePageEncoder(const QString& codePage)
    : m_codePage(codePage)
{
    iconv_t converter = iconv_open(m_codePage.toLatin1().constData(), "UTF-8");
    if (converter == kNoConverter) {
        m_codePage = kDefaultCodePage;
        converter = iconv_open(m_codePage.toLatin1().constData(), "UTF-8");
    }
    if (converter != kNoConverter)
        m_converter = converter;
    m_windows1252 = m_codePage.compare(QLatin1String("CP1252"), Qt::CaseInsensitive) == 0 ||
                    m_codePage.compare(QLatin1String("WINDOWS-1252"), Qt::CaseInsensitive) == 0;
    iconv_t decoder = iconv_open("UTF-8", m_codePage.toLatin1().constData());
    if (decoder != kNoConverter)
        m_decoder = decoder;
}

CCodePageEncoder::~CCodePageEncoder()
{
    if (m_converter)
        iconv_close(static_cast<iconv_t>(m_converter));
    if (m_decoder)
        iconv_close(static_cast<iconv_t>(m_decoder));
}

QByteArray CCodePageEncoder::Encode(const QString& text, int* substituted) const
{
    int replaced = 0;
    QByteArray output;
    if (!m_converter) {
        output = text.toLatin1();
    } else {
        iconv_t converter = static_cast<iconv_t>(m_converter);
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        QByteArray input = text.toUtf8();
        // No character takes more bytes in a Windows code page than in UTF-8 plus a shift.
        output.resize(input.size() * 2 + 16);
        char* in = input.data();
        size_t inLeft = static_cast<size_t>(input.size());
        char* out = output.data();
        size_t outLeft = static_cast<size_t>(output.size());
        while (inLeft > 0) {
            if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
                break;
            if (errno != EILSEQ)
                break;
            if (m_windows1252 && inLeft >= 2 && static_cast<unsigned char>(in[0]) == kUtf8LeadOfC1 &&
                UndefinedInWindows1252(static_cast<unsigned char>(in[1]))) {
                *out++ = in[1];
                --outLeft;
                in += 2;
                inLeft -= 2;
                continue;
            }
            // Without //TRANSLIT iconv stops at what the code page lacks: one
            // UTF-8 sequence becomes '?'.
            const auto lead = static_cast<unsigned char>(*in);
            size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            length = std::min(length, inLeft);
            in += length;
            inLeft -= length;
            *out++ = '?';
            --outLeft;
            ++replaced;
        }
        iconv(converter, nullptr, nullptr, &out, &outLeft);
        output.truncate(static_cast<qsizetype>(out - output.data()));
    }
    if (substituted)
        *substituted = replaced;
    return output;
}

QString CCodePageEncoder::Decode(const QByteArray& bytes) const
{
    if (!m_decoder)
        return QString::fromLatin1(bytes);
    iconv_t decoder = static_cast<iconv_t>(m_decoder);
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    QByteArray input = bytes;
    // A byte of a Windows code page becomes at most 4 bytes of UTF-8.
    QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    // Encodings beyond the Windows code pages may need more room.
    const auto grow = [&] {
        const qsizetype used = out - output.data();
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = static_cast<size_t>(output.size() - used);
    };
    while (inLeft > 0) {
        if (iconv(decoder, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            grow();
            continue;
        }
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // An undefined byte or a lead byte without its trail byte.
        if (outLeft < 2)
            grow();
        const auto byte = static_cast<unsigned char>(*in);
        ++in;
        --inLeft;
        if (m_windows1252 && UndefinedInWindows1252(byte)) {
            *out++ = static_cast<char>(kUtf8LeadOfC1);
            *out++ = static_cast<char>(byte);
            outLeft -= 2;
        } else {
            *out++ = '?';
            --outLeft;
        }
        iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    }
    output.truncate(static_cast<qsizetype>(out - output.data()));
    return QString::fromUtf8(output);
}

QString CCodePageEncoder::LanguageCodePage()
{
    return CodePageForLocale(g_resourceDatabase.SelectText(QStringLiteral("/root/locale")));
}
