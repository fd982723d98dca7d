#include "CCodePageEncoder.h"

#include <iconv.h>

namespace {

const QString kDefaultCodePage = QStringLiteral("CP1252");
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

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
}

CCodePageEncoder::~CCodePageEncoder()
{
    if (m_converter)
        iconv_close(static_cast<iconv_t>(m_converter));
}

bool CCodePageEncoder::Encode(const QString& text, QByteArray& out) const
{
    out.clear();
    if (!m_converter)
        return false;
    iconv_t converter = static_cast<iconv_t>(m_converter);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);

    QByteArray input = text.toUtf8();
    // No character of a multibyte code page is longer than its UTF-8 form plus a shift.
    QByteArray output(input.size() * 2 + 16, '\0');
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char* outPtr = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)
        || iconv(converter, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        return false;
    }
    // Without //TRANSLIT iconv refuses (EILSEQ) what the code page lacks.
    output.truncate(static_cast<qsizetype>(outPtr - output.data()));
    out = output;
    return true;
}
