#pragma once
// The parameter report as a CSV file, in its fixed form:
//   ;Group,Name,PC[,<title>]                 header, not quoted
//   "<group>","<name>","<ref>"[,"<cmp>"]     one line per catalogue parameter
// texts as they are (no escaping), CR LF line ends, no byte-order mark, in
// the code page of the language file's locale. A character the code page
// cannot hold is written as '?' (the language files hold a few, such as the
// Greek sigma in CP1252), so the file is always whole.
#include <QString>
#include <QStringList>

class CSettings;

class CReportCsvWriter
{
public:
    // The lines without their ends. compared is used only when isCompared;
    // with hideEmpty a parameter whose value texts are both empty gives no line.
    static QStringList BuildLines(const CSettings& reference, const CSettings& compared, bool isCompared,
                                  const QString& title, bool hideEmpty);
    // Writes the lines in the code page, each ended with CR LF. Throws
    // CPrivateException when the file cannot be created or written, or is
    // not a regular file; what was written before a write failure stays.
    static void WriteFile(const QString& path, const QStringList& lines, const QString& codePage);
    // The code page of the loaded language file's locale element.
    static QString LanguageCodePage();
};
