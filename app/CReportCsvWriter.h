#pragma once
// The parameter report as a CSV file, in its fixed form:
//   ;Group,Name,PC[,<title>]                 header, not quoted
//   "<group>","<name>","<ref>"[,"<cmp>"]     one line per catalogue parameter
// texts as they are (no escaping), CR LF line ends, no byte-order mark, in
// the code page of the language file's locale.
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
    // Writes the lines in the code page, each ended with CR LF. Every line is
    // converted before the file is touched: a text the code page cannot hold
    // leaves any existing file as it was. Throws CPrivateException.
    static void WriteFile(const QString& path, const QStringList& lines, const QString& codePage);
    // The code page of the loaded language file's locale element.
    static QString LanguageCodePage();
};
