#include "LanguageFileFixture.h"

#include "foundation/CCodePageEncoder.h"
#include "foundation/CPrivateException.h"
#include "foundation/CResourceDatabase.h"
#include "foundation/CXmlReaderWriter.h"
#include "platform/ControlIds.h"
#include "platform/MessageFormat.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QVBoxLayout>

#include <cstdlib>
#include <map>

namespace {

QString LoadError(CResourceDatabase& db, const QString& dir, const QString& name)
{
    try {
        db.LoadLanguageFileFrom(dir, name);
    } catch (const CPrivateException& e) {
        return e.GetText();
    }
    ADD_FAILURE() << "no exception for " << name.toStdString();
    return {};
}

QString Wrapped(const QString& name, const QString& inner)
{
    return "Can't read resource file \"" + name + "\".\n" + inner;
}

using LanguageDatabase = LanguageFileFixture;

} // namespace

TEST(XmlReaderWriter, NodesTextsAndFailures)
{
    CXmlReaderWriter xml;
    EXPECT_FALSE(xml.HasDocument());
    EXPECT_THROW(xml.GetNodeText("/root"), CPrivateException);

    xml.Create("root");
    EXPECT_TRUE(xml.HasDocument());
    EXPECT_EQ(xml.GetNodeText("/root"), "");
    EXPECT_THROW(xml.GetNodeText("/root/message/text[@name='X']"), CPrivateException);
    // A broken expression is a failure of ours, not the parser's own exception.
    EXPECT_THROW(xml.GetNodeText("/root/text[@name='it's']"), CPrivateException);
    EXPECT_THROW(xml.GetNodeText("]["), CPrivateException);

    EXPECT_THROW(CXmlReaderWriter::CheckResult(true, 2), CPrivateException);
    EXPECT_NO_THROW(CXmlReaderWriter::CheckResult(false, 2));
}

TEST_F(LanguageDatabase, LooksUpEveryKindOfEntry)
{
    WriteFile("t.lng", LanguageFile(R"(
<gui name="132"><text name="0">Main</text><text name="1032">Upload</text></gui>
<gui name="133"><text name="1032">Other</text></gui>
<list name="Model"><text name="0">A</text><text name="1">B</text></list>
<parameter><text name="INPUT_CT2">CT secondary</text></parameter>
<unit><text name="V">volt</text></unit>
<message>
  <text name="LINES">one&#10;two &amp; <![CDATA[<three>]]></text>
  <text name="SPACED">  padded  </text>
  <text name="DUP">first</text>
  <text name="DUP">second</text>
</message>
<message><text name="DUP">third</text><text name="LATE">late</text></message>
<list name="Model"><text name="1">shadowed</text><text name="2">C</text></list>
)"));
    CResourceDatabase db;
    EXPECT_EQ(db.GetMessageText("LINES"), "");
    db.LoadLanguageFileFrom(Dir(), "t.lng");

    EXPECT_EQ(db.GetLanguage(), "Test");
    EXPECT_EQ(db.GetGuiText(132, 0), "Main");
    EXPECT_EQ(db.GetGuiText(132, 1032), "Upload");
    EXPECT_EQ(db.GetGuiText(133, 1032), "Other");
    EXPECT_EQ(db.GetGuiText(132, 9999), "");
    EXPECT_EQ(db.GetText("parameter", "INPUT_CT2"), "CT secondary");
    EXPECT_EQ(db.GetText("unit", "V"), "volt");
    EXPECT_EQ(db.GetText("group", "V"), "");
    EXPECT_EQ(db.GetListText("Model", 1), "B");
    EXPECT_EQ(db.GetListText("Model", 2), "C");
    EXPECT_EQ(db.GetListText("Model", 99), "");
    EXPECT_EQ(db.GetListText("Model", -1), "");
    EXPECT_EQ(db.GetMessageText("LINES"), "one\ntwo & <three>");
    EXPECT_EQ(db.GetMessageText("SPACED"), "  padded  ");
    // Duplicates: the first in document order wins, across elements too.
    EXPECT_EQ(db.GetMessageText("DUP"), "first");
    EXPECT_EQ(db.GetMessageText("LATE"), "late");
    EXPECT_EQ(db.GetMessageText("MISSING"), "");
    // Names go into the expression as they stand; a broken one finds nothing.
    EXPECT_EQ(db.GetMessageText("it's"), "");
    EXPECT_EQ(db.GetText("no such/section", "x"), "");
    EXPECT_EQ(db.SelectText("/root/message/text[@name='LATE']/@name"), "LATE");

    db.CreateEmpty();
    EXPECT_EQ(db.GetMessageText("LATE"), "");
    EXPECT_EQ(db.GetLanguage(), "");
}

TEST_F(LanguageDatabase, FailedChecksInTheirOrder)
{
    struct Case
    {
        const char* name;
        QByteArray content;
    };
    const QByteArray tail = "<locale>ja_JP.UTF-8</locale><message><text name=\"K\">kept</text></message></root>";
    const Case cases[] = {
        {"case.lng", "<root><application>ombrix</application><filetype>language</filetype><language>X</language>" + tail},
        {"type.lng", "<root><application>Ombrix</application><filetype>Language</filetype><language>X</language>" + tail},
        {"lang.lng", "<root><application>Ombrix</application><filetype>language</filetype><language></language>" + tail},
        {"noapp.lng", "<root><filetype>language</filetype><language>X</language>" + tail},
        {"notype.lng", "<root><application>Ombrix</application><language>X</language>" + tail},
        {"nolang.lng", "<root><application>Ombrix</application><filetype>language</filetype>" + tail},
        {"blank.lng", "<root><application> Ombrix</application><filetype>language</filetype><language>X</language>" + tail},
    };
    for (const Case& c : cases) {
        std::setlocale(LC_ALL, "C");
        WriteFile(c.name, c.content);
        CResourceDatabase db;
        db.CreateEmpty();
        EXPECT_EQ(LoadError(db, Dir(), c.name), Wrapped(c.name, "Illegal format")) << c.name;
        // The file stays loaded, but its locale is not taken.
        EXPECT_EQ(db.GetMessageText("K"), "kept") << c.name;
        EXPECT_EQ(CurrentLocale(), "C") << c.name;
    }
}

TEST_F(LanguageDatabase, ParseErrorGivesLineSourceAndReason)
{
    WriteFile("good.lng", LanguageFile("<message><text name=\"K\">good</text></message>"));
    WriteFile("broken.lng", "<?xml version=\"1.0\"?>\r\n<root>\r\n  <message>\r\n    <text name=\"K\">x</txet>\r\n</root>\r\n");
    CResourceDatabase db;
    db.CreateEmpty();
    const QString text = LoadError(db, Dir(), "broken.lng");
    const QString prefix = Wrapped("broken.lng", "line: 4\nsrc text:     <text name=\"K\">x</txet>\nreason: ");
    EXPECT_TRUE(text.startsWith(prefix)) << text.toStdString();
    EXPECT_GT(text.size(), prefix.size());
    EXPECT_EQ(db.GetMessageText("K"), "");

    // A failed parse keeps what was loaded before.
    db.LoadLanguageFileFrom(Dir(), "good.lng");
    LoadError(db, Dir(), "broken.lng");
    EXPECT_EQ(db.GetMessageText("K"), "good");

    WriteFile("empty.lng", "");
    EXPECT_TRUE(LoadError(db, Dir(), "empty.lng").startsWith(Wrapped("empty.lng", "line: 1\nsrc text: \nreason: ")));
    WriteFile("eof.lng", "<root>\n<message>");
    EXPECT_TRUE(LoadError(db, Dir(), "eof.lng").startsWith(Wrapped("eof.lng", "line: 2\nsrc text: <message>\nreason: ")));
}

TEST_F(LanguageDatabase, MissingOrUnreadableFile)
{
    CResourceDatabase db;
    db.CreateEmpty();
    const QString text = LoadError(db, Dir(), "nothere.lng");
    EXPECT_TRUE(text.startsWith(Wrapped("nothere.lng", "line: 0\nsrc text: \nreason: "))) << text.toStdString();
    EXPECT_FALSE(text.endsWith("reason: "));
    EXPECT_FALSE(text.endsWith(u'\n'));
    // The program's directory: the text names the file as it was passed.
    try {
        db.LoadLanguageFile("Nope.lng");
        ADD_FAILURE();
    } catch (const CPrivateException& e) {
        EXPECT_TRUE(e.GetText().startsWith(Wrapped("Nope.lng", "line: 0\nsrc text: \nreason: ")));
    }
    // A folder in place of the file cannot be read either.
    EXPECT_TRUE(LoadError(db, Dir(), "").startsWith(Wrapped("", "line: 0\nsrc text: \nreason: ")));
}

TEST_F(LanguageDatabase, InnerTextIsCutTo1023Characters)
{
    const QByteArray longLine = "<root><" + QByteArray(3000, 'a') + " x=></root>";
    WriteFile("long.lng", longLine);
    CResourceDatabase db;
    const QString text = LoadError(db, Dir(), "long.lng");
    const QString head = Wrapped("long.lng", "");
    ASSERT_TRUE(text.startsWith(head));
    EXPECT_EQ(text.size() - head.size(), 1023);
    EXPECT_TRUE(text.startsWith(head + "line: 1\nsrc text: <root><aaa"));
}

TEST_F(LanguageDatabase, LocaleOfTheFileTakesEffect)
{
    // Windows names map to the POSIX ones.
    const std::pair<QByteArray, std::string> cases[] = {
        {"<locale>ja_JP.UTF-8</locale>", "ja_JP.UTF-8"},
        {"<locale>en_US.UTF-8</locale>", "en_US.UTF-8"},
        {"<locale>Japanese_Japan.932</locale>", "ja_JP.UTF-8"},
        {"<locale>English_United States.1252</locale>", "en_US.UTF-8"},
        {"<locale>japanese</locale>", "ja_JP.UTF-8"},
        {"<locale>english</locale>", "en_US.UTF-8"},
    };
    CResourceDatabase db;
    for (const auto& [element, expected] : cases) {
        std::setlocale(LC_ALL, "C");
        WriteFile("l.lng", LanguageFile("", element));
        db.LoadLanguageFileFrom(Dir(), "l.lng");
        EXPECT_EQ(CurrentLocale(), expected) << element.toStdString();
        EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), expected);
        const QString point = QString::fromLocal8Bit(std::localeconv()->decimal_point);
        EXPECT_EQ(FormatDouble("%.2lf", 0.25), "0" + point + "25");
    }

    // No locale element: the user's default, from the environment.
    const QByteArray savedLcAll = qgetenv("LC_ALL");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    std::setlocale(LC_ALL, "C");
    WriteFile("none.lng", LanguageFile("", ""));
    EXPECT_NO_THROW(db.LoadLanguageFileFrom(Dir(), "none.lng"));
    EXPECT_EQ(CurrentLocale(), "ja_JP.UTF-8");
    if (savedLcAll.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", savedLcAll);
}

TEST_F(LanguageDatabase, DeclaredEncodingDecodesTheFile)
{
    const auto file = [](const QByteArray& declaration, const QByteArray& language, const QByteArray& text) {
        return declaration + "<root><application>Ombrix</application><filetype>language</filetype><language>"
               + language + "</language><message><text name=\"K\">" + text + "</text></message></root>";
    };
    const auto encoded = [](const char* codePage, const QByteArray& utf8) {
        CCodePageEncoder encoder(codePage);
        int substituted = 0;
        const QByteArray bytes = encoder.Encode(QString::fromUtf8(utf8), &substituted);
        EXPECT_EQ(substituted, 0) << codePage;
        return bytes;
    };
    // U+FF5E and the circled digit exist only in the Windows form of
    // Shift_JIS; the trail byte of "ソ" is a backslash.
    const QString japanese = QString::fromUtf8("電圧ソ～①\\ end");
    const QString western = QString::fromUtf8("Größe € – é");
    const QString latin = QString::fromUtf8("Größe é ÿ");
    struct Case
    {
        const char* name;
        QByteArray content;
        QString language;
        QString text;
    };
    const Case cases[] = {
        {"sjis.lng", encoded("CP932", file("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n", "日本語", japanese.toUtf8())), "日本語", japanese},
        {"cp1252.lng", encoded("CP1252", file("<?xml version='1.0' encoding='windows-1252'?>\r\n", "Français", western.toUtf8())), "Français", western},
        {"latin1.lng", file("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>", "Fran\xE7" "ais", "Gr\xF6\xDF" "e \xE9 \xFF"), "Français", latin},
        {"utf8.lng", file("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "日本語", japanese.toUtf8()), "日本語", japanese},
        {"plain.lng", file("", "日本語", japanese.toUtf8()), "日本語", japanese},
    };
    ASSERT_EQ(cases[0].content.count("\x83\x5C"), 1);
    for (const Case& c : cases) {
        WriteFile(c.name, c.content);
        CResourceDatabase db;
        db.LoadLanguageFileFrom(Dir(), c.name);
        EXPECT_EQ(db.GetLanguage(), c.language) << c.name;
        EXPECT_EQ(db.GetMessageText("K"), c.text) << c.name;
    }

    // One byte of TSCII is a whole ligature of four characters, 12 bytes
    // of UTF-8: the text comes out whole, not cut where a guess of room ended.
    WriteFile("tscii.lng", file("<?xml version=\"1.0\" encoding=\"TSCII\"?>", "Tamil", QByteArray(200, '\x82')));
    {
        CResourceDatabase db;
        db.LoadLanguageFileFrom(Dir(), "tscii.lng");
        EXPECT_EQ(db.GetMessageText("K"), QString::fromUtf8("\u0BB8\u0BCD\u0BB0\u0BC0").repeated(200));
    }

    WriteFile("unknown.lng", file("<?xml version=\"1.0\" encoding=\"x-no-such\"?>\n", "X", "x"));
    CResourceDatabase db;
    EXPECT_EQ(LoadError(db, Dir(), "unknown.lng"),
              Wrapped("unknown.lng", "line: 1\nsrc text: <?xml version=\"1.0\" encoding=\"x-no-such\"?>\nreason: Unsupported encoding \"x-no-such\""));
}

TEST_F(LanguageDatabase, LocaleThatCannotBeSetKeepsTheDecimalPoint)
{
    std::setlocale(LC_ALL, "C");
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma";
    ASSERT_EQ(FormatDouble("%.1lf", 1.5), "1,5");
    const std::string desktopType = std::setlocale(LC_CTYPE, nullptr);

    WriteFile("gone.lng", LanguageFile("", "<locale>xx_XX.UTF-8</locale>"));
    CResourceDatabase db;
    db.LoadLanguageFileFrom(Dir(), "gone.lng");
    EXPECT_EQ(FormatDouble("%.1lf", 1.5), "1.5");
    EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
    EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), desktopType);

    // No locale element and a desktop locale that is not installed.
    const QByteArray savedLcAll = qgetenv("LC_ALL");
    qputenv("LC_ALL", "xx_XX.UTF-8");
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    WriteFile("none.lng", LanguageFile("", ""));
    db.LoadLanguageFileFrom(Dir(), "none.lng");
    EXPECT_EQ(FormatDouble("%.1lf", 1.5), "1.5");
    if (savedLcAll.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", savedLcAll);
}

TEST_F(LanguageDatabase, DeeplyNestedTextIsGatheredInOrder)
{
    WriteFile("mixed.lng", LanguageFile("", "").replace("<language>Test</language>", "<language>a<b>b<c/>c<![CDATA[d]]></b>e<f><g>g</g></f>h</language>"));
    CResourceDatabase db;
    db.LoadLanguageFileFrom(Dir(), "mixed.lng");
    EXPECT_EQ(db.GetLanguage(), "abcdegh");

    constexpr int kDepth = 200000;
    QByteArray deep = "<language>";
    deep.reserve(kDepth * 7 + 64);
    for (int i = 0; i < kDepth; ++i)
        deep += "<a>";
    deep += "Deep";
    for (int i = 0; i < kDepth; ++i)
        deep += "</a>";
    deep += "!</language>";
    WriteFile("deep.lng", LanguageFile("<message><text name=\"K\">after</text></message>", "").replace("<language>Test</language>", deep));
    db.LoadLanguageFileFrom(Dir(), "deep.lng");
    EXPECT_EQ(db.GetLanguage(), "Deep!");
    EXPECT_EQ(db.GetMessageText("K"), "after");
}

TEST(LanguageDialogTexts, AppliedByControlId)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("d.lng"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<root><application>Ombrix</application><filetype>language</filetype><language>T</language>"
               "<gui name=\"161\"><text name=\"0\">Verbinden</text><text name=\"1083\">Port</text>"
               "<text name=\"1\">Gut</text><text name=\"1057\"></text><text name=\"1200\">Rahmen</text>"
               "<text name=\"1201\">Innen</text></gui>"
               "<gui name=\"162\"><text name=\"0\"></text><text name=\"1083\">Other</text></gui></root>");
    file.close();
    const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
    CResourceDatabase db;
    db.LoadLanguageFileFrom(dir.path(), "d.lng");
    std::setlocale(LC_ALL, savedLocale.c_str());

    const auto build = [](QDialog& dialog) {
        dialog.setWindowTitle("Connect");
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel("COM port");
        auto* edit = new QLineEdit("typed");
        auto* ok = new QPushButton("OK");
        auto* cancel = new QPushButton("Cancel");
        auto* group = new QGroupBox("Frame");
        auto* inner = new QLabel("Inside", group);
        auto* plain = new QLabel("no id");
        for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(edit), static_cast<QWidget*>(ok),
                           static_cast<QWidget*>(cancel), static_cast<QWidget*>(group), static_cast<QWidget*>(plain)})
            layout->addWidget(w);
        SetControlId(label, 1083);
        SetControlId(edit, 1057);
        SetControlId(ok, 1);
        SetControlId(cancel, 2);
        SetControlId(group, 1200);
        SetControlId(inner, 1201);
        return std::tuple{label, edit, ok, cancel, group, inner, plain};
    };

    QDialog dialog;
    auto [label, edit, ok, cancel, group, inner, plain] = build(dialog);
    db.ApplyDialogTexts(161, &dialog);
    EXPECT_EQ(dialog.windowTitle(), "Verbinden");
    EXPECT_EQ(label->text(), "Port");
    EXPECT_EQ(ok->text(), "Gut");
    EXPECT_EQ(edit->text(), "typed");   // empty entry keeps the text
    EXPECT_EQ(cancel->text(), "Cancel"); // no entry keeps the text
    EXPECT_EQ(group->title(), "Rahmen");
    EXPECT_EQ(inner->text(), "Innen");   // a control inside a group box is still the dialog's
    EXPECT_EQ(plain->text(), "no id");

    QDialog second;
    auto [label2, edit2, ok2, cancel2, group2, inner2, plain2] = build(second);
    db.ApplyDialogTexts(162, &second);
    EXPECT_EQ(second.windowTitle(), "Connect"); // empty caption entry keeps the caption
    EXPECT_EQ(label2->text(), "Other");
    EXPECT_EQ(ok2->text(), "OK");

    db.ApplyDialogTexts(161, nullptr);
}

// The shipped files: every message key present and not empty, with the
// inserts the code that raises it passes, and nothing else.
TEST_F(LanguageDatabase, ShippedFilesCarryEveryMessage)
{
    enum Kind { Plain, Windows, Printf };
    struct Expect
    {
        Kind kind;
        int inserts;          // Windows: %1..%n all used
        const char* printf;   // Printf: the conversion letters in order
    };
    const std::map<QString, Expect> keys = {
        {"MSG_CANNOT_COM_SETTING", {Plain, 0, ""}},
        {"MSG_CANNOT_OPEN_COM", {Printf, 0, "s"}},
        {"MSG_COMMUNICATING", {Plain, 0, ""}},
        {"MSG_COMPARE_DIFF", {Windows, 1, ""}},
        {"MSG_COMPARE_EQUAL", {Plain, 0, ""}},
        {"MSG_DOWNLOADING", {Plain, 0, ""}},
        {"MSG_ERROR_COMMUNICATION", {Plain, 0, ""}},
        {"MSG_ERROR_DOWNLOAD_DIF_DEVICE", {Plain, 0, ""}},
        {"MSG_ERROR_DOWNLOAD_DIF_DIPSW", {Plain, 0, ""}},
        {"MSG_ERROR_INPUT_CONFIRM_PASSCODE", {Plain, 0, ""}},
        {"MSG_ERROR_INPUT_INT", {Windows, 1, ""}},
        {"MSG_ERROR_INPUT_NUM", {Windows, 1, ""}},
        {"MSG_ERROR_INPUT_PASSCODE", {Plain, 0, ""}},
        {"MSG_ERROR_INPUT_RANGE_FORMAT", {Windows, 3, ""}},
        {"MSG_ERROR_LOAD_PARAMETER", {Windows, 1, ""}},
        {"MSG_ERROR_LOAD_PARAMETER_FORMAT", {Plain, 0, ""}},
        {"MSG_ERROR_MODBUS_ALL", {Printf, 0, "s"}},
        {"MSG_ERROR_MODBUS_CRC", {Plain, 0, ""}},
        {"MSG_ERROR_MODBUS_EXCEPTION", {Windows, 1, ""}},
        {"MSG_ERROR_MODBUS_INVALID_RESPONSE", {Plain, 0, ""}},
        {"MSG_ERROR_MODBUS_INVALID_TRANSACTION", {Plain, 0, ""}},
        {"MSG_ERROR_MODBUS_MESSAGE", {Windows, 4, ""}},
        {"MSG_ERROR_MODBUS_TIMEOUT", {Plain, 0, ""}},
        {"MSG_ERROR_SAVE_PARAMETER", {Windows, 1, ""}},
        {"MSG_ERROR_UNSUPPORT_DEVICE", {Printf, 0, "dX"}},
        {"MSG_QUERY_RESET", {Plain, 0, ""}},
        {"MSG_UPLOADING", {Plain, 0, ""}},
        {"ERROR_MODBUS_PASSCODE_MISMATCH", {Plain, 0, ""}},
        {"ERROR_MODBUS_PASSCODE_NOT_SUPPORT", {Plain, 0, ""}},
        {"ERROR_MODBUS_TCP", {Windows, 1, ""}},
        {"FILEOPEN_DIALOG_FILTER", {Plain, 0, ""}},
        {"AO_Output", {Windows, 3, ""}},
        {"AO_Scaling", {Windows, 5, ""}},
        {"IN", {Plain, 0, ""}},
        {"OUT", {Plain, 0, ""}},
        {"LAG", {Plain, 0, ""}},
        {"LEAD", {Plain, 0, ""}},
        {"LAG_IN", {Plain, 0, ""}},
        {"LAG_OUT", {Plain, 0, ""}},
        {"LEAD_IN", {Plain, 0, ""}},
        {"LEAD_OUT", {Plain, 0, ""}},
        {"TT_UPLOAD", {Plain, 0, ""}},
        {"TT_DOWNLOAD", {Plain, 0, ""}},
        {"TT_PROTECT", {Plain, 0, ""}},
        {"TT_COMPARE", {Plain, 0, ""}},
        {"TT_SAVE_FILE", {Plain, 0, ""}},
        {"TT_OPEN_FILE", {Plain, 0, ""}},
        {"TT_MONITOR", {Plain, 0, ""}},
        {"TT_LANG", {Plain, 0, ""}},
    };
    const QRegularExpression windowsInsert("%([1-9][0-9]?)");
    const QRegularExpression printfConversion("%[-+ #0]*[0-9]*(?:\\.[0-9]+)?(?:l|ll|h)?([diouxXsScCfFeEgG])");

    const std::pair<const char*, std::string> files[] = {{"English.lng", "en_US.UTF-8"}, {"Japanese.lng", "ja_JP.UTF-8"}};
    for (const auto& [name, locale] : files) {
        SCOPED_TRACE(name);
        CResourceDatabase db;
        db.CreateEmpty();
        // From the program's own directory, where the build puts the files.
        ASSERT_NO_THROW(db.LoadLanguageFile(name));
        EXPECT_EQ(CurrentLocale(), locale);
        EXPECT_FALSE(db.GetLanguage().isEmpty());
        for (const auto& [key, expect] : keys) {
            SCOPED_TRACE(key.toStdString());
            const QString text = db.GetMessageText(key);
            ASSERT_FALSE(text.trimmed().isEmpty());
            switch (expect.kind) {
            case Plain:
                // Shown unformatted: a '%' would be seen as it stands.
                EXPECT_FALSE(text.contains(u'%'));
                break;
            case Windows: {
                QSet<int> used;
                for (const auto& m : windowsInsert.globalMatch(text))
                    used.insert(m.captured(1).toInt());
                QSet<int> all;
                for (int i = 1; i <= expect.inserts; ++i)
                    all.insert(i);
                EXPECT_EQ(used, all);
                break;
            }
            case Printf: {
                QString letters;
                for (const auto& m : printfConversion.globalMatch(QString(text).remove("%%")))
                    letters += m.captured(1);
                EXPECT_EQ(letters, QString::fromLatin1(expect.printf));
                EXPECT_FALSE(windowsInsert.match(text).hasMatch());
                break;
            }
            }
        }
        const QString filter = db.GetMessageText("FILEOPEN_DIALOG_FILTER");
        EXPECT_TRUE(filter.contains("*.cfg"));
        EXPECT_TRUE(filter.endsWith("||"));
        // Description and pattern pairs, then the closing "||".
        EXPECT_EQ(filter.chopped(2).split(u'|').size() % 2, 0);
        for (const char* tip : {"TT_UPLOAD", "TT_DOWNLOAD", "TT_PROTECT", "TT_COMPARE", "TT_SAVE_FILE", "TT_OPEN_FILE", "TT_MONITOR", "TT_LANG"})
            EXPECT_LE(db.GetMessageText(tip).size(), 79) << tip;
    }
}
