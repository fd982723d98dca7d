// The CSV report read back byte for byte: its fixed form, the code page of
// the language file (CP932, CP1252), the hide rule, and the failures that
// must never leave a silently shortened file.
#include "foundation/CCodePageEncoder.h"
#include "app/CReportCsvWriter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CParameterEnumerationInterface.h"
#include "params/CSettings.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char* const kEnglishFile = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
  <application>Ombrix</application>
  <filetype>language</filetype>
  <language>English</language>
  <locale>en_US.UTF-8</locale>
  <group><text name="INPUT">Input é</text></group>
  <parameter>
    <text name="INPUT_CT1">CT primary</text>
    <text name="INPUT_CT2">CT "sec", ratio</text>
    <text name="INPUT_VT2">VT secondary</text>
  </parameter>
  <message>
    <text name="MSG_ERROR_CSV_FILE">Can't write the file "%1!s!".%n%2!s!</text>
  </message>
</root>
)";

const char* const kJapaneseFile = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
  <application>Ombrix</application>
  <filetype>language</filetype>
  <language>Japanese</language>
  <locale>ja_JP.UTF-8</locale>
  <group><text name="INPUT">入力</text></group>
  <parameter><text name="INPUT_CT1">CT一次</text></parameter>
</root>
)";

constexpr int kCt1 = 32;
constexpr int kCt2 = 33;

class ReportCsvTest : public ::testing::Test
{
protected:
    void LoadLanguage(const char* name, const char* content)
    {
        QFile file(m_dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        g_resourceDatabase.LoadLanguageFileFrom(m_dir.path(), QString::fromLatin1(name));
    }
    QByteArray Export(const CSettings& reference, const CSettings* compared, const QString& title, bool hide)
    {
        const QString path = m_dir.filePath(QStringLiteral("report.csv"));
        const QStringList lines =
            CReportCsvWriter::BuildLines(reference, compared ? *compared : reference, compared != nullptr, title, hide);
        CReportCsvWriter::WriteFile(path, lines, CReportCsvWriter::LanguageCodePage());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    static QByteArray Value(int number, const CSettings& set)
    {
        return CParameterEnumerationInterface().GetValueText(number, set).toLatin1();
    }

    QTemporaryDir m_dir;
};

QList<QByteArray> Lines(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "the last line ends too";
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.constData();
        line.chop(1);
    }
    return lines;
}

} // namespace

TEST_F(ReportCsvTest, JapaneseReportIsWrittenInCp932WithCrLfAndNoByteOrderMark)
{
    LoadLanguage("Test.lng", kJapaneseFile);
    const CSettings reference;
    const QByteArray content = Export(reference, nullptr, {}, true);

    ASSERT_TRUE(content.startsWith(";Group,Name,PC\r\n"));
    EXPECT_FALSE(content.contains("\n\n"));
    const QByteArray ct1Line = QByteArray("\"\x93\xfc\x97\xcd\",\"CT\x88\xea\x8e\x9f\",\"") + Value(kCt1, reference)
        + "\"\r\n";
    EXPECT_TRUE(content.contains(ct1Line));

    // With the hide rule on, every line has a value; a line per applying parameter.
    const QList<QByteArray> lines = Lines(content);
    const CParameterEnumerationInterface catalogue;
    int applying = 0;
    for (int n = 0; n >= 0; n = catalogue.NextIndex(n))
        applying += catalogue.GetValueText(n, reference).isEmpty() ? 0 : 1;
    EXPECT_EQ(lines.size(), applying + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].startsWith('"') && lines[i].endsWith('"')) << lines[i].constData();
        EXPECT_FALSE(lines[i].endsWith("\"\"")) << "an empty value was written";
    }
}

TEST_F(ReportCsvTest, ComparedEnglishReportIsCp1252WithFourFieldsAndTextsUnescaped)
{
    LoadLanguage("Test.lng", kEnglishFile);
    const CSettings reference;
    CSettings compared;
    compared.SetWord(kCt1, static_cast<std::uint16_t>(reference.GetWord(kCt1) + 1));
    const QByteArray content = Export(reference, &compared, QStringLiteral("My unit"), true);

    ASSERT_TRUE(content.startsWith(";Group,Name,PC,My unit\r\n"));
    EXPECT_TRUE(content.contains("\"Input \xe9\",\"CT primary\",\"" + Value(kCt1, reference) + "\",\""
                                 + Value(kCt1, compared) + "\"\r\n"));
    EXPECT_TRUE(content.contains("\"Input \xe9\",\"CT \"sec\", ratio\",\"" + Value(kCt2, reference) + "\",\""
                                 + Value(kCt2, compared) + "\"\r\n"));
}

TEST_F(ReportCsvTest, ATextTheCodePageCannotHoldIsWrittenAsQuestionMarksAndTheFileIsWhole)
{
    QByteArray language(kEnglishFile);
    language.replace("VT secondary", "VT 日本");
    LoadLanguage("Test.lng", language.constData());
    const QString path = m_dir.filePath(QStringLiteral("old.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("a longer previous report that must not shine through at the end\r\n");
    }
    const CSettings reference;
    const QStringList lines = CReportCsvWriter::BuildLines(reference, reference, false, {}, true);
    CReportCsvWriter::WriteFile(path, lines, CReportCsvWriter::LanguageCodePage());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("\"Input \xe9\",\"VT ??\",\"" + Value(36, reference) + "\"\r\n"));
    EXPECT_EQ(content.count("\r\n"), lines.size());
    EXPECT_TRUE(content.endsWith("\"\r\n"));
    EXPECT_FALSE(content.contains("previous"));
}

TEST_F(ReportCsvTest, AFileThatCannotBeCreatedIsReportedWithItsName)
{
    LoadLanguage("Test.lng", kEnglishFile);
    const QString path = m_dir.filePath(QStringLiteral("missing/report.csv"));
    try {
        CReportCsvWriter::WriteFile(path, {QStringLiteral(";Group,Name,PC")}, QStringLiteral("CP1252"));
        FAIL() << "no error for a folder that does not exist";
    } catch (const CPrivateException& e) {
        EXPECT_TRUE(e.GetText().startsWith(QStringLiteral("Can't write the file \"") + path + QStringLiteral("\".\n")))
            << e.GetText().toStdString();
        EXPECT_TRUE(e.GetText().contains(QStringLiteral("No such file or directory")));
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(CodePageTest, LocaleNamesMapToTheWindowsCodePages)
{
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QStringLiteral("ja_JP.UTF-8")), QStringLiteral("CP932"));
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QStringLiteral("Japanese")), QStringLiteral("CP932"));
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QStringLiteral("Japanese_Japan.932")), QStringLiteral("CP932"));
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QStringLiteral("en_US.UTF-8")), QStringLiteral("CP1252"));
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QStringLiteral("English_United States.1252")),
              QStringLiteral("CP1252"));
    EXPECT_EQ(CCodePageEncoder::CodePageForLocale(QString()), QStringLiteral("CP1252"));
    // A code page iconv does not know falls back to CP1252.
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP99999")).GetCodePage(), QStringLiteral("CP1252"));

    // CP932 keeps backslash and tilde, where Shift_JIS would not.
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP932")).Encode(QStringLiteral("日本\\~")),
              QByteArray("\x93\xfa\x96\x7b\\~"));
    int substituted = 0;
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP1252")).Encode(QStringLiteral("a日Σé"), &substituted),
              QByteArray("a??\xe9"));
    EXPECT_EQ(substituted, 2);
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP932")).Encode(QStringLiteral("\U0001F600x")), QByteArray("?x"));

    // Back from the code page; a lead byte without its trail byte becomes '?'.
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP932")).Decode(QByteArray("\x93\xfa\x96\x7b\\~")),
              QStringLiteral("日本\\~"));
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP932")).Decode(QByteArray("AB\x93")), QStringLiteral("AB?"));
    EXPECT_EQ(CCodePageEncoder(QStringLiteral("CP1252")).Decode(QByteArray("\xe9\x80")), QStringLiteral("é€"));
}

TEST(CodePageTest, BytesCp1252LeavesUndefinedComeBackAsTheyWere)
{
    // A CP932 tag, "No.1 工場", read in English; and all five such bytes.
    const CCodePageEncoder encoder(QStringLiteral("CP1252"));
    const QByteArray tag("No.1 \x8D\x48\x8F\xEA");
    EXPECT_EQ(encoder.Decode(tag), QStringLiteral("No.1 \u008DH\u008F\u00EA"));
    EXPECT_EQ(encoder.Encode(encoder.Decode(tag)), tag);
    EXPECT_EQ(encoder.Decode(QByteArray("\x81\x8D\x8F\x90\x9D")), QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
    EXPECT_EQ(encoder.Encode(QStringLiteral("\u0081\u008D\u008F\u0090\u009D")), QByteArray("\x81\x8D\x8F\x90\x9D"));
}
