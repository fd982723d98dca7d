#pragma once
// Converts the program's texts to and from the multibyte code page of a
// language file's locale (the CSV report, the unit's serial number and tag):
// CP932 for Japanese, CP1252 otherwise, or the code page a Windows-style
// locale name carries ("Japanese_Japan.932").
#include <QByteArray>
#include <QString>

class CCodePageEncoder
{
public:
    // An unknown code page falls back to CP1252.
    explicit CCodePageEncoder(const QString& codePage);
    ~CCodePageEncoder();
    CCodePageEncoder(const CCodePageEncoder&) = delete;
    CCodePageEncoder& operator=(const CCodePageEncoder&) = delete;

    // The iconv name of the code page in use.
    const QString& GetCodePage() const { return m_codePage; }
    // The text in the code page. A character the code page cannot hold is
    // written as '?', as the Windows conversion does, so the text keeps its
    // length and nothing after it is lost; substituted counts them. In CP1252
    // the control characters U+0081, U+008D, U+008F, U+0090 and U+009D give
    // back the bytes of their numbers, as Windows converts them.
    QByteArray Encode(const QString& text, int* substituted = nullptr) const;

    // Bytes of the code page as text; a byte sequence the code page does not
    // define becomes '?' and the rest still converts. The five bytes CP1252
    // leaves undefined become the control characters of their numbers.
    QString Decode(const QByteArray& bytes) const;

    // The code page of a locale name such as a language file's locale element.
    static QString CodePageForLocale(const QString& locale);
    // The code page of the language file in use.
    static QString LanguageCodePage();

private:
    QString m_codePage;
    void* m_converter = nullptr; // iconv_t, to the code page
    void* m_decoder = nullptr;   // iconv_t, from the code page
    bool m_windows1252 = false;
};
