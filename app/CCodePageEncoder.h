#pragma once
// Converts the program's texts into the multibyte code page of a language
// file's locale, for the CSV report: CP932 for Japanese, CP1252 otherwise,
// or the code page a Windows-style locale name carries ("Japanese_Japan.932").
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
    // length and nothing after it is lost; substituted counts them.
    QByteArray Encode(const QString& text, int* substituted = nullptr) const;

    // The code page of a locale name such as a language file's locale element.
    static QString CodePageForLocale(const QString& locale);

private:
    QString m_codePage;
    void* m_converter = nullptr; // iconv_t
};
