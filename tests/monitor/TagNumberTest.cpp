// The tag number through the utilities against the simulated unit: read and
// shown, edited and written back in 16 bytes of the language's code page,
// the write mode ended afterwards, a double-byte character that would not
// fit left out whole, and a tag confirmed unchanged kept byte for byte.
#include "UtilityHarness.h"

#include "monitor/CTagDialog.h"
#include "monitor/CTagNumber.h"
#include "monitor/CUtilityDialog.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

class TagNumberTest : public UtilityHarness
{
protected:
    // Opens the tag from the utilities, notes what the edit shows, types
    // the text and ends with OK (or Cancel); returns what was shown.
    QString EditTag(const QString& typed, bool ok = true)
    {
        QString shown;
        WhileModal([&] {
            WhileModal([&] {
                auto* edit = Control<QLineEdit>(CTagDialog::IDC_TAG);
                ASSERT_NE(edit, nullptr);
                shown = edit->text();
                edit->selectAll();
                // Character by character, as typed or committed by an input method.
                for (const QChar character : typed) {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
                    QApplication::sendEvent(edit, &press);
                }
                Click(ok ? IDOK : IDCANCEL);
            });
            Click(CUtilityDialog::IDC_TAG);
            Click(IDCANCEL);
        });
        CUtilityDialog dialog;
        dialog.Run(*m_link, *m_thread);
        return shown;
    }
    static QByteArray Padded(QByteArray bytes)
    {
        bytes.append(QByteArray(CTagNumber::kBytes - bytes.size(), '\0'));
        return bytes;
    }
};

TEST_F(TagNumberTest, TagIsReadShownAndWrittenInSixteenBytes)
{
    Identify();
    m_unit.SetTag("Panel A");

    // Sixteen characters fill all eight registers, with no terminator.
    int from = m_unit.RequestCount();
    EXPECT_EQ(EditTag(QStringLiteral("FEEDER-12 BAY 3A")), QStringLiteral("Panel A"));
    EXPECT_EQ(m_unit.GetTag(), QByteArray("FEEDER-12 BAY 3A"));
    const std::vector<Write> writes = Writes(from);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], Write(kModeRegister, {1}));
    EXPECT_EQ(writes[1].first, CFenmarUnit::kTagNumber);
    EXPECT_EQ(writes[1].second, (std::vector<std::uint16_t>{0x4546, 0x4445, 0x5245, 0x312D, 0x2032, 0x4142,
                                                            0x2059, 0x4133}));
    EXPECT_EQ(writes[2], Write(kModeRegister, {0})) << "the write mode is ended";
    EXPECT_EQ(m_unit.GetWriteMode(), 0);

    // A shorter tag is padded with NULs; the edit takes at most 16 characters.
    EXPECT_EQ(EditTag(QStringLiteral("Pump 7")), QStringLiteral("FEEDER-12 BAY 3A"));
    EXPECT_EQ(m_unit.GetTag(), Padded("Pump 7"));
    EditTag(QStringLiteral("ABCDEFGHIJKLMNOPQRS"));
    EXPECT_EQ(m_unit.GetTag(), QByteArray("ABCDEFGHIJKLMNOP"));

    // Cancel writes nothing.
    from = m_unit.RequestCount();
    EXPECT_EQ(EditTag(QStringLiteral("other"), false), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_TRUE(Writes(from).empty());
    EXPECT_EQ(m_unit.GetTag(), QByteArray("ABCDEFGHIJKLMNOP"));
}

TEST_F(TagNumberTest, DoubleByteCharacterAtTheCutIsLeftOutWhole)
{
    // Japanese: the tag is in CP932, where 日 is the two bytes 93 FA.
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    Identify();
    m_unit.SetTag(QByteArray("\x8C\x76\x8A\xED" "A", 5)); // 計器A
    EXPECT_EQ(EditTag(QStringLiteral("ABCDEFGHIJKLMN日")), QStringLiteral("計器A"));
    EXPECT_EQ(m_unit.GetTag(), QByteArray("ABCDEFGHIJKLMN\x93\xFA", 16)) << "fits exactly";

    // One byte short for 日: it is left out, not cut in half.
    EXPECT_EQ(EditTag(QStringLiteral("ABCDEFGHIJKLMNO日")), QStringLiteral("ABCDEFGHIJKLMN日"));
    EXPECT_EQ(m_unit.GetTag(), Padded("ABCDEFGHIJKLMNO"));

    // Sixteen double-byte characters: the first eight fill the tag.
    EditTag(QStringLiteral("一二三四五六七八九十一二三四五六"));
    EXPECT_EQ(EditTag(QStringLiteral("x"), false), QStringLiteral("一二三四五六七八"));
}

TEST_F(TagNumberTest, UnchangedTagIsWrittenBackAsRead)
{
    // CP932 reads ED 40 as 纊 and writes 纊 as FA 5C; 85 40 is no character.
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("Japanese.lng"));
    Identify();
    const QByteArray tag("No.1 \xED\x40\x85\x40", 9);
    m_unit.SetTag(tag);
    EXPECT_EQ(EditTag(QString()), QStringLiteral("No.1 纊?@"));
    EXPECT_EQ(m_unit.GetTag(), Padded(tag));
}

} // namespace
