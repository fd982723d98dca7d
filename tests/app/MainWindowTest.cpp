// The main window without a unit: start-up in both locales, the language
// switch, the model choice and its faults, the live checks, Enter, Esc and
// the close box, Tab and the arrows in the analog-output list, a missing
// language file, and a picture of each language.
#include "MainWindowHarness.h"
#include "app/CAdvancedDialog.h"
#include "app/CAnalogOutputDialog.h"
#include "app/CBasicParameterDialog.h"
#include "app/CModbusDialog.h"
#include "app/CMyDalvexApp.h"
#include "app/CPasscodeDialog.h"
#include "app/CPulseDialog.h"
#include "app/ColumnWidths.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "params/CAnalogOutputEnumerationInterface.h"
#include "params/CSettings.h"
#include "platform/CProfile.h"
#include "platform/ControlIds.h"
#include "tests/support/CScriptedPrompts.h"
#include "tests/support/MovedByUser.h"
#include "tests/support/TempProfile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Dlg = CBasicParameterDialog;

// Opens the window as a modal run would, without the run's own loop.
QComboBox* Box(QWidget* w, int id) { return qobject_cast<QComboBox*>(FindControl(w, id)); }
QLineEdit* Edit(QWidget* w, int id) { return qobject_cast<QLineEdit*>(FindControl(w, id)); }
QString Text(QWidget* w, int id) { return GetWindowText(FindControl(w, id)); }

QStringList Items(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

void Choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_settings = CSettings();
        g_appSettings = CAppSettings();
        g_appSettings.DisplayLanguage = QStringLiteral("English.lng");
    }

    TempProfile m_profile;
    CScriptedPrompts m_prompts;
};

void UseLocale(const char* lang)
{
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", lang);
}

} // namespace

TEST_F(MainWindowTest, StartsWithAnEmptyProfileInTheUsersLanguage)
{
    struct Case
    {
        const char* lang;
        const char* upload;
        const char* file;
    };
    for (const Case& c : {Case{"ja_JP.UTF-8", "アップロード", "Japanese.lng"}, Case{"en_US.UTF-8", "Upload", "English.lng"}}) {
        TempProfile profile;
        UseLocale(c.lang);
        g_settings = CSettings();
        CModalDriver driver;
        QString title, upload;
        int systems = 0, typeIndex = -1;
        bool monitorShown = true;
        driver.On<CBasicParameterDialog>(
            [&](CBasicParameterDialog* w) {
                title = w->windowTitle();
                upload = Text(w, Dlg::IDC_UPLOAD);
                systems = Box(w, Dlg::IDC_SYSTEM)->count();
                typeIndex = w->GetSettings().m_deviceType.GetTypeIndex();
                monitorShown = FindControl(w, Dlg::IDC_MONITOR)->isVisible();
                w->close();
            },
            "main window");
        CMyDalvexApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(driver.Done()) << driver.Pending().toStdString();
        EXPECT_EQ(title, "Ombrix Version1.1.15");
        EXPECT_EQ(upload, QString::fromUtf8(c.upload));
        // Type 0 with its defaults: four wiring systems.
        EXPECT_EQ(typeIndex, 0);
        EXPECT_EQ(systems, 4);
        EXPECT_FALSE(monitorShown);
        EXPECT_TRUE(m_prompts.MessageTexts().empty());
        CProfile::Reload();
        EXPECT_EQ(CProfile::GetProfileString("Settings", "DisplayLanguage"), c.file);
        EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", -1), 0);
    }
}

TEST_F(MainWindowTest, LanguageSwitchTwiceKeepsTheEditedValuesAndRefillsOnce)
{
    CProfile::WriteProfileString("Settings", "DisplayLanguage", "English.lng");
    CProfile::WriteProfileInt("Settings", "DeviceId", 5);
    CModalDriver driver;
    QStringList uploads, vtPrimaries, ctPrimaries, qtCancels;
    QList<int> systems, level1Counts, systemCounts, aoRows;
    QList<QPoint> places;
    auto look = [&](CBasicParameterDialog* w) {
        places.append(w->pos());
        uploads.append(Text(w, Dlg::IDC_UPLOAD));
        // Qt's own standard buttons and file dialogs follow the language file.
        qtCancels.append(QCoreApplication::translate("QPlatformTheme", "Cancel"));
        vtPrimaries.append(Text(w, Dlg::IDC_VT_PRIMARY));
        ctPrimaries.append(Text(w, Dlg::IDC_CT_PRIMARY));
        systems.append(Box(w, Dlg::IDC_SYSTEM)->currentIndex());
        level1Counts.append(Box(w, Dlg::IDC_MODEL1)->count());
        systemCounts.append(Box(w, Dlg::IDC_SYSTEM)->count());
        aoRows.append(qobject_cast<QTableWidget*>(FindControl(w, Dlg::IDC_ANALOG_OUTPUTS))->rowCount());
    };
    driver.On<CBasicParameterDialog>(
        [&](CBasicParameterDialog* w) {
            look(w);
            places.back() = MovedByUser(w, QPoint(150, 90));
            Type(Edit(w, Dlg::IDC_VT_PRIMARY), "6600");
            Type(Edit(w, Dlg::IDC_CT_PRIMARY), "300");
            Choose(Box(w, Dlg::IDC_SYSTEM), Box(w, Dlg::IDC_SYSTEM)->itemText(2));
            PressButton(w, Dlg::IDC_LANGUAGE);
        },
        "English run");
    driver.On<CBasicParameterDialog>(
        [&](CBasicParameterDialog* w) {
            look(w);
            PressButton(w, Dlg::IDC_LANGUAGE);
        },
        "Japanese run");
    driver.On<CBasicParameterDialog>(
        [&](CBasicParameterDialog* w) {
            look(w);
            w->close();
        },
        "English run again");
    CMyDalvexApp app;
    app.InitInstance();
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_EQ(uploads, (QStringList{"Upload", QString::fromUtf8("アップロード"), "Upload"}));
    // The window keeps its place across the switches.
    ASSERT_EQ(places.size(), 3);
    // A frame's edges and title bar lie above and left of its client area.
    const QPoint frame = QPoint(150, 90) - places[0];
    EXPECT_TRUE(frame.x() >= 0 && frame.y() >= 0 && frame.manhattanLength() <= 40)
        << "the frame stands round the client area: " << frame.x() << "," << frame.y();
    EXPECT_EQ(places, (QList<QPoint>{places[0], places[0], places[0]}));
    EXPECT_EQ(qtCancels, (QStringList{"Cancel", QString::fromUtf8("キャンセル"), "Cancel"}));
    EXPECT_EQ(vtPrimaries, (QStringList{"110", "6600", "6600"}));
    EXPECT_EQ(ctPrimaries, (QStringList{"5", "300", "300"}));
    EXPECT_EQ(systems, (QList<int>{5, 2, 2}));
    // Nothing of an earlier run stays in the boxes.
    EXPECT_EQ(level1Counts, (QList<int>{2, 2, 2}));
    EXPECT_EQ(systemCounts, (QList<int>{6, 6, 6}));
    EXPECT_EQ(aoRows, (QList<int>{10, 10, 10}));
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(g_settings.GetDword(PARAMETER_INPUT_VT1), 6600u);
    EXPECT_EQ(g_settings.GetWord(PARAMETER_INPUT_SYSTEM), 2);
    CProfile::Reload();
    EXPECT_EQ(CProfile::GetProfileString("Settings", "DisplayLanguage"), "English.lng");
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", -1), 5);
}

TEST_F(MainWindowTest, TheNextStartBeginsWithTheRememberedTypeAndItsDefaults)
{
    CProfile::WriteProfileString("Settings", "DisplayLanguage", "English.lng");
    CModalDriver driver;
    driver.On<CBasicParameterDialog>(
        [](CBasicParameterDialog* w) {
            QComboBox* level2 = Box(w, Dlg::IDC_MODEL2);
            Choose(Box(w, Dlg::IDC_MODEL1), "FPM-4");
            Choose(level2, "Output 0-10 V");
            Type(Edit(w, Dlg::IDC_VT_SECONDARY), "220");
            w->close();
        },
        "first run");
    CMyDalvexApp().InitInstance();
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    CProfile::Reload();
    EXPECT_EQ(CProfile::GetProfileInt("Settings", "DeviceId", -1), 7);

    // A new process starts from a fresh set.
    g_settings = CSettings();
    int typeIndex = -1;
    QString secondary;
    driver.On<CBasicParameterDialog>(
        [&](CBasicParameterDialog* w) {
            typeIndex = w->GetSettings().m_deviceType.GetTypeIndex();
            secondary = Text(w, Dlg::IDC_VT_SECONDARY);
            w->close();
        },
        "second run");
    CMyDalvexApp().InitInstance();
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_EQ(typeIndex, 7);
    EXPECT_EQ(secondary, "110");
}

TEST_F(MainWindowTest, LanguageSwitchWithABadValueStaysInTheSameLanguage)
{
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_SECONDARY), "12");
    PressButton(&w, Dlg::IDC_LANGUAGE);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_TRUE(m_prompts.MessageTexts()[0].contains("50")) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(g_appSettings.DisplayLanguage, "English.lng");
    // The edit to correct has the focus and its text selected.
    EXPECT_EQ(QApplication::focusWidget(), Edit(&w, Dlg::IDC_VT_SECONDARY));
    EXPECT_EQ(Edit(&w, Dlg::IDC_VT_SECONDARY)->selectedText(), "12");
    EXPECT_EQ(Edit(&w, Dlg::IDC_VT_SECONDARY)->cursorPosition(), 0);
}

TEST_F(MainWindowTest, LanguageToggleFollowsTheStoredName)
{
    for (auto [stored, next] : {std::pair<const char*, const char*>{"English.lng", "Japanese.lng"},
                                {"", "Japanese.lng"},
                                {"japanese.lng", "Japanese.lng"},
                                {"Japanese.lng", "English.lng"}}) {
        g_appSettings.DisplayLanguage = QString::fromLatin1(stored);
        OpenMainWindow w;
        w.Open();
        PressButton(&w, Dlg::IDC_LANGUAGE);
        EXPECT_EQ(g_appSettings.DisplayLanguage, QString::fromLatin1(next)) << stored;
        EXPECT_EQ(w.GetResult(), IDOK);
        CProfile::Reload();
        EXPECT_EQ(CProfile::GetProfileString("Settings", "DisplayLanguage"), QString::fromLatin1(next));
    }
}

TEST_F(MainWindowTest, VtSecondaryChecksSetTheRangeWhileTyping)
{
    OpenMainWindow w;
    w.Open();
    struct Step
    {
        const char* typed;
        int secondary;
        int range;
    };
    for (const Step& s : {Step{"110", 110, 150}, Step{"220", 220, 300}, Step{"230", 230, 230}, Step{"49", 230, 230}}) {
        Type(Edit(&w, Dlg::IDC_VT_SECONDARY), s.typed);
        EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_VT2), s.secondary) << s.typed;
        EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_V_RANGE), s.range) << s.typed;
        EXPECT_EQ(Text(&w, Dlg::IDC_RANGE), QString::number(s.range)) << s.typed;
    }
    // Half-typed and bad numbers are dropped without a word.
    Type(Edit(&w, Dlg::IDC_RANGE), "abc");
    Type(Edit(&w, Dlg::IDC_CT_SECONDARY), "9");
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_V_RANGE), 230);
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_CT2), 5);
    Type(Edit(&w, Dlg::IDC_CT_SECONDARY), "1");
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_CT2), 1);
    Type(Edit(&w, Dlg::IDC_RANGE), "480");
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_V_RANGE), 480);
}

TEST_F(MainWindowTest, TypingChecksAndStoreControlsTakeTheSameRanges)
{
    OpenMainWindow w;
    w.Open();
    struct Bounds
    {
        int id;
        int word;
        int lowest;
        int highest;
    };
    for (const Bounds& b : {Bounds{Dlg::IDC_VT_SECONDARY, PARAMETER_INPUT_VT2, 50, 480},
                            Bounds{Dlg::IDC_CT_SECONDARY, PARAMETER_INPUT_CT2, 1, 5},
                            Bounds{Dlg::IDC_RANGE, PARAMETER_INPUT_V_RANGE, 50, 480}}) {
        for (int typed : {b.lowest - 1, b.lowest, b.highest, b.highest + 1}) {
            SCOPED_TRACE(std::to_string(b.id) + ": " + std::to_string(typed));
            const bool inRange = typed >= b.lowest && typed <= b.highest;
            Type(Edit(&w, b.id), QString::number(typed));
            EXPECT_EQ(w.GetSettings().GetWord(b.word) == typed, inRange) << "while typing";
            bool stored = true;
            try {
                w.StoreControls(true);
            } catch (const CException&) {
                stored = false;
            }
            EXPECT_EQ(stored, inRange) << "by StoreControls";
        }
        // Good again, so that the next edit's StoreControls gets as far as it.
        Type(Edit(&w, b.id), QString::number(b.highest));
    }
}

TEST_F(MainWindowTest, EnterAndEscDoNothingAndOnlyTheCloseBoxEndsTheRun)
{
    g_settings.m_deviceType.SetTypeIndex(0);
    CBasicParameterDialog w;
    CModalDriver driver;
    bool visibleAfterKeys = false;
    driver.On<CBasicParameterDialog>(
        [&](CBasicParameterDialog* dialog) {
            QLineEdit* edit = Edit(dialog, Dlg::IDC_VT_PRIMARY);
            Type(edit, "440");
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyClick(edit, Qt::Key_Escape);
            QTest::keyClick(Box(dialog, Dlg::IDC_SYSTEM), Qt::Key_Escape);
            visibleAfterKeys = dialog->isVisible();
            dialog->close();
        },
        "main window");
    EXPECT_EQ(w.DoModal(), 0);
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_TRUE(visibleAfterKeys);
    // Enter never pressed Upload: no connection dialog came, nothing was shown.
    EXPECT_TRUE(m_prompts.Requests().empty());
    // The close box hands the set on, with what the live checks took.
    EXPECT_EQ(g_settings.m_deviceType.GetTypeIndex(), 0);
    EXPECT_EQ(g_settings.GetDword(PARAMETER_INPUT_VT1), 110u); // the primary has no live check
}

TEST_F(MainWindowTest, WiringSystemsFollowTheUnitType)
{
    g_settings.m_deviceType.SetTypeIndex(0);
    g_settings.SetWord(PARAMETER_INPUT_SYSTEM, 5);
    OpenMainWindow w;
    w.Open();
    QComboBox* systems = Box(&w, Dlg::IDC_SYSTEM);
    ASSERT_EQ(systems->count(), 4);
    EXPECT_EQ(systems->currentIndex(), 3);
    w.StoreControls(false);
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_SYSTEM), 3);
    EXPECT_FALSE(FindControl(&w, Dlg::IDC_MODBUS)->isEnabled()); // no Modbus settings on these types
    EXPECT_TRUE(FindControl(&w, Dlg::IDC_PULSE1)->isEnabled());
    EXPECT_TRUE(FindControl(&w, Dlg::IDC_PULSE2)->isEnabled());

    // A choice in the box is taken at once and refreshes the analog outputs.
    Choose(systems, systems->itemText(1));
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_SYSTEM), 1);

    Choose(Box(&w, Dlg::IDC_MODEL1), "FPM-4");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);
    EXPECT_EQ(Box(&w, Dlg::IDC_SYSTEM)->count(), 6);
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL2)->currentText(), "Output 4-20 mA");
    EXPECT_FALSE(Box(&w, Dlg::IDC_MODEL3)->isEnabled());
    auto* outputs = qobject_cast<QTableWidget*>(FindControl(&w, Dlg::IDC_ANALOG_OUTPUTS));
    ASSERT_EQ(outputs->rowCount(), 10);
    EXPECT_EQ(outputs->item(9, 0)->text(), "10");
    EXPECT_FALSE(outputs->item(0, 3)->text().isEmpty());
    EXPECT_TRUE(outputs->item(0, 3)->text().contains("mA")) << outputs->item(0, 3)->text().toStdString();

    Choose(Box(&w, Dlg::IDC_MODEL2), "Output 0-10 V");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 7);
    EXPECT_TRUE(outputs->item(0, 3)->text().contains("V")) << outputs->item(0, 3)->text().toStdString();
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

// Types 1 and 6 are in no model entry: the window shows the first entry, but
// the next store must not turn the set into type 0.
TEST_F(MainWindowTest, AUnitTypeWithoutModelEntryKeepsItsType)
{
    for (int type : {1, 6}) {
        g_settings = CSettings();
        g_settings.m_deviceType.SetTypeIndex(type);
        OpenMainWindow w;
        w.Open();
        EXPECT_EQ(Box(&w, Dlg::IDC_MODEL1)->currentText(), "FPM-3");
        EXPECT_EQ(Box(&w, Dlg::IDC_MODEL2)->currentText(), "Output 4-20 mA");
        w.StoreControls(false);
        EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), type);
        EXPECT_EQ(w.GetSettings().m_deviceType.GetOptionBits(), type == 1 ? 0x1000 : 0x1010);
        // A model the user picks does change it.
        Choose(Box(&w, Dlg::IDC_MODEL2), "Output 0-5 V");
        EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 3);
        w.StoreControls(false);
        EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 3);
    }
}

// A bad edit stops the model change: the boxes go back to the set's model so
// that a later store does not relabel the set behind the unit type change.
TEST_F(MainWindowTest, AFailedModelChangeShowsTheSetsModelAgain)
{
    g_settings.m_deviceType.SetTypeIndex(0);
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "abc");
    Choose(Box(&w, Dlg::IDC_MODEL1), "FPM-4");
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 0);
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL1)->currentText(), "FPM-3");
    EXPECT_EQ(w.GetModelText(0), "FPM-3");
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL2)->currentText(), "Output 4-20 mA");
    // The user's text stays to be corrected, selected, with the focus.
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "abc");
    EXPECT_EQ(QApplication::focusWidget(), Edit(&w, Dlg::IDC_VT_PRIMARY));
    EXPECT_EQ(Edit(&w, Dlg::IDC_VT_PRIMARY)->selectedText(), "abc");

    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "440");
    w.StoreControls(false);
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 0);
    EXPECT_EQ(w.GetSettings().GetDword(PARAMETER_INPUT_VT1), 440u);
}

TEST_F(MainWindowTest, StoreControlsChecksEachEditInOrder)
{
    OpenMainWindow w;
    w.Open();
    Type(Edit(&w, Dlg::IDC_VT_PRIMARY), "400000");
    Type(Edit(&w, Dlg::IDC_VT_SECONDARY), "480");
    Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "20001");
    Type(Edit(&w, Dlg::IDC_CT_SECONDARY), "0");
    EXPECT_THROW(w.StoreControls(false), CException);
    // Words before the failing edit are stored; the failing one and later ones are not.
    EXPECT_EQ(w.GetSettings().GetDword(PARAMETER_INPUT_VT1), 400000u);
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_VT2), 480);
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_CT1), 5);
    EXPECT_EQ(QApplication::focusWidget(), Edit(&w, Dlg::IDC_CT_PRIMARY));
    Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "0x10");
    EXPECT_THROW(w.StoreControls(false), CException);
    EXPECT_EQ(w.GetSettings().GetWord(PARAMETER_INPUT_CT1), 16);
    EXPECT_EQ(QApplication::focusWidget(), Edit(&w, Dlg::IDC_CT_SECONDARY));
}

TEST_F(MainWindowTest, ModelBoxesSelectExactTextsAndRefillLowerLevels)
{
    // "ABC" is a prefix of "ABC2"; "Q" entries have a third level, "ABC" ones have none.
    ScopedLanguageFile file(QStringLiteral("ModelTest.lng"), LanguageFileText(QStringLiteral(
        "<list name=\"Model\"><text name=\"0\">ABC|One</text><text name=\"2\">ABC2|One</text>"
        "<text name=\"3\">ABC2|Two</text><text name=\"4\">Q|R|x</text><text name=\"5\">Q|R|y</text>"
        "<text name=\"7\">Q|S</text><text name=\"8\">Q|T|z</text><text name=\"9\">Q|T|w</text></list>")));
    g_appSettings.DisplayLanguage = file.Name();
    g_settings.m_deviceType.SetTypeIndex(0);
    OpenMainWindow w;
    w.Open();
    EXPECT_EQ(Items(Box(&w, Dlg::IDC_MODEL1)), (QStringList{"ABC", "ABC2", "Q"}));
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL1)->currentText(), "ABC");
    EXPECT_EQ(Items(Box(&w, Dlg::IDC_MODEL2)), (QStringList{"One"}));
    EXPECT_FALSE(Box(&w, Dlg::IDC_MODEL3)->isEnabled());

    Choose(Box(&w, Dlg::IDC_MODEL1), "Q");
    // Level 2 falls back to its first item, level 3 to its last.
    EXPECT_EQ(Items(Box(&w, Dlg::IDC_MODEL2)), (QStringList{"R", "S", "T"}));
    EXPECT_EQ(Items(Box(&w, Dlg::IDC_MODEL3)), (QStringList{"x", "y"}));
    EXPECT_TRUE(Box(&w, Dlg::IDC_MODEL3)->isEnabled());
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL3)->currentText(), "y");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);

    Choose(Box(&w, Dlg::IDC_MODEL3), "x");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 4);
    Choose(Box(&w, Dlg::IDC_MODEL2), "S");
    EXPECT_FALSE(Box(&w, Dlg::IDC_MODEL3)->isEnabled());
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 7);
    // Choosing the same text again changes nothing.
    Choose(Box(&w, Dlg::IDC_MODEL2), "S");
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 7);

    w.GetSettings().m_deviceType.SetTypeIndex(2);
    w.UpdateControls();
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL1)->currentText(), "ABC2");
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL2)->currentText(), "One");
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(MainWindowTest, AMissingLanguageFileIsReportedAndTheWindowStillRuns)
{
    // The window was run in Japanese first: the run after the switch starts from the template's texts.
    g_appSettings.DisplayLanguage = QStringLiteral("Japanese.lng");
    OpenMainWindow w;
    w.Open();
    ASSERT_NE(Text(&w, Dlg::IDC_UPLOAD), "Upload");
    g_appSettings.DisplayLanguage = QStringLiteral("Missing.lng");
    w.Open();
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_TRUE(m_prompts.MessageTexts()[0].startsWith("Can't read resource file \"Missing.lng\".\n"));
    EXPECT_EQ(m_prompts.Last().style & MB_ICONMASK, MB_ICONERROR);
    // Template texts, no model items, empty wiring-system items; the rest is filled.
    EXPECT_EQ(Text(&w, Dlg::IDC_UPLOAD), "Upload");
    EXPECT_EQ(Text(&w, Dlg::IDC_INPUT_GROUP), "Input");
    EXPECT_EQ(Text(&w, Dlg::IDC_SYSTEM_LABEL), "System");
    EXPECT_EQ(w.windowTitle(), "Ombrix Version1.1.15");
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL1)->count(), 0);
    EXPECT_EQ(Box(&w, Dlg::IDC_MODEL2)->count(), 0);
    EXPECT_FALSE(Box(&w, Dlg::IDC_MODEL3)->isEnabled());
    EXPECT_EQ(Box(&w, Dlg::IDC_SYSTEM)->count(), 6);
    EXPECT_EQ(Text(&w, Dlg::IDC_VT_PRIMARY), "110");
    EXPECT_EQ(FindControl(&w, Dlg::IDC_UPLOAD)->toolTip(), QString());
    // The stand-in model does not relabel the set.
    w.StoreControls(false);
    EXPECT_EQ(w.GetSettings().m_deviceType.GetTypeIndex(), 5);
    // The live checks work.
    Type(Edit(&w, Dlg::IDC_VT_SECONDARY), "220");
    EXPECT_EQ(Text(&w, Dlg::IDC_RANGE), "300");
}

TEST_F(MainWindowTest, ToolTipsComeFromTheMessagesAndAreCut)
{
    const QString longTip(100, QLatin1Char('x'));
    // A character outside the basic plane across the cut goes whole or not at all.
    const QString wideTip = QString(78, QLatin1Char('y')) + QString::fromUtf8("\xF0\x9F\x98\x80z");
    ScopedLanguageFile file(QStringLiteral("TipTest.lng"),
                            LanguageFileText(QStringLiteral("<message><text name=\"TT_UPLOAD\">Read it</text>"
                                                            "<text name=\"TT_SAVE_FILE\">%2</text>"
                                                            "<text name=\"TT_LANG\">%1</text></message>")
                                                 .arg(longTip, wideTip)));
    g_appSettings.DisplayLanguage = file.Name();
    OpenMainWindow w;
    w.Open();
    EXPECT_EQ(FindControl(&w, Dlg::IDC_UPLOAD)->toolTip(), "Read it");
    EXPECT_EQ(FindControl(&w, Dlg::IDC_LANGUAGE)->toolTip(), longTip.left(79));
    EXPECT_EQ(FindControl(&w, Dlg::IDC_SAVE_FILE)->toolTip(), wideTip.left(78));
    EXPECT_EQ(FindControl(&w, Dlg::IDC_DOWNLOAD)->toolTip(), QString());
    EXPECT_EQ(FindControl(&w, Dlg::IDC_PASSCODE)->toolTip(), QString());
}

TEST_F(MainWindowTest, AnalogOutputColumnsShareTheListsWidthAndCutNoTextInEachLanguage)
{
    // Designed widths grow to the texts; the surplus is shared in proportion.
    EXPECT_EQ(ShareColumnWidths({30, 120, 300, 0}, {20, 200, 100, 150}, 780), (std::vector<int>{34, 229, 344, 173}));
    EXPECT_EQ(ShareColumnWidths({30, 120, 300, 0}, {20, 200, 100, 150}, 600), (std::vector<int>{30, 200, 300, 150}));

    const QString folder = QDir(GetModuleDirectory()).absoluteFilePath(QStringLiteral("../screenshots"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* language : {"English", "Japanese"}) {
        SCOPED_TRACE(language);
        g_appSettings.DisplayLanguage = QString::fromLatin1(language) + QStringLiteral(".lng");
        OpenMainWindow w;
        w.Open();
        auto* list = qobject_cast<QTableWidget*>(FindControl(&w, Dlg::IDC_ANALOG_OUTPUTS));
        const QFontMetrics metrics(list->font());
        int total = 0;
        for (int column = 0; column < 4; ++column) {
            total += list->columnWidth(column);
            for (int row = 0; row < list->rowCount(); ++row) {
                const QTableWidgetItem* item = list->item(row, column);
                const QString text = item ? item->text() : QString();
                EXPECT_LT(metrics.horizontalAdvance(text), list->columnWidth(column)) << text.toStdString();
            }
        }
        EXPECT_EQ(total, list->viewport()->width());
        // The picture (kept for a look by eye) is the whole window.
        const QPixmap picture = w.grab();
        EXPECT_EQ(picture.size(), w.size());
        const QString path = folder + QStringLiteral("/main-window-") + QString::fromLatin1(language) +
                             QStringLiteral(".png");
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
    }
    EXPECT_TRUE(m_prompts.MessageTexts().empty());
}

TEST_F(MainWindowTest, AnalogOutputRowOpensItsChannelAndRefreshesTheList)
{
    OpenMainWindow w;
    w.Open();
    auto* list = qobject_cast<QTableWidget*>(FindControl(&w, Dlg::IDC_ANALOG_OUTPUTS));
    ASSERT_NE(list, nullptr);
    CModalDriver driver;
    int channel = -1;
    int ctPrimary = 0;
    driver.On<CAnalogOutputDialog>(
        [&](CAnalogOutputDialog* d) {
            channel = d->GetChannel();
            ctPrimary = d->GetSettings().GetWord(PARAMETER_INPUT_CT1);
            auto* upper = d->GetDlgItemAs<QLineEdit>(CAnalogOutputDialog::IDC_INPUT100);
            upper->setText(QStringLiteral("60"));
            PressButton(d, IDOK);
        },
        "analog-output dialog by double click");

    // The window's edits are stored first, so the dialog sees them.
    Type(Edit(&w, Dlg::IDC_CT_PRIMARY), "250");
    const QString before = list->item(2, 2)->text();
    list->selectRow(2);
    const QRect cell = list->visualItemRect(list->item(2, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_EQ(channel, 2);
    EXPECT_EQ(ctPrimary, 250);
    EXPECT_EQ(static_cast<std::int16_t>(w.GetSettings().GetWord(AnalogOutputWordNumber(2, AOUT_WORD_INPUT100))),
              6000);
    EXPECT_NE(list->item(2, 2)->text(), before);
    EXPECT_EQ(list->item(2, 2)->text(), CAnalogOutputEnumerationInterface(&w.GetSettings(), false).GetScalingText(2));

    // Enter while the list has the focus; Cancel changes nothing.
    bool opened = false;
    driver.On<CAnalogOutputDialog>(
        [&](CAnalogOutputDialog* d) {
            opened = d->GetChannel() == 2;
            d->GetDlgItemAs<QLineEdit>(CAnalogOutputDialog::IDC_INPUT100)->setText(QStringLiteral("70"));
            PressButton(d, IDCANCEL);
        },
        "analog-output dialog by Enter");
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_TRUE(opened);
    EXPECT_EQ(list->item(2, 2)->text(), CAnalogOutputEnumerationInterface(&w.GetSettings(), false).GetScalingText(2));
    EXPECT_TRUE(m_prompts.MessageTexts().empty());

    // Without a selected row nothing opens, by Enter or by a double click.
    opened = false;
    driver.On<CAnalogOutputDialog>(
        [&](CAnalogOutputDialog* d) {
            opened = true;
            PressButton(d, IDCANCEL);
        },
        "no dialog");
    list->clearSelection();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    emit list->doubleClicked(list->model()->index(3, 1));
    QTest::qWait(30);
    EXPECT_FALSE(opened);

    // A rejected edit in the window is shown and the dialog does not open.
    list->selectRow(4);
    Type(Edit(&w, Dlg::IDC_VT_SECONDARY), "12");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::qWait(30);
    EXPECT_FALSE(opened);
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_EQ(w.focusWidget(), Edit(&w, Dlg::IDC_VT_SECONDARY));
}

TEST_F(MainWindowTest, AnalogOutputListIsOneTabStopAndArrowsMoveItsRow)
{
    OpenMainWindow w;
    w.Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* list = qobject_cast<QTableWidget*>(FindControl(&w, Dlg::IDC_ANALOG_OUTPUTS));
    ASSERT_NE(list, nullptr);
    const auto selectedRow = [list] {
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    };

    // From the last cell of a row and from the first: a step inside the list
    // would land on the next or the previous row.
    for (const auto& [column, modifier] : {std::pair{3, Qt::NoModifier}, std::pair{0, Qt::ShiftModifier}}) {
        list->setCurrentCell(2, column);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab, modifier);
        EXPECT_NE(w.focusWidget(), list) << "modifier " << modifier;
        EXPECT_NE(w.focusWidget(), nullptr);
        EXPECT_EQ(selectedRow(), 2) << "modifier " << modifier;
    }

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), 3);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(w.focusWidget(), list);
}

TEST_F(MainWindowTest, SettingCommandsEditTheWindowsSetOnlyOnOk)
{
    const auto typeWith = [](std::uint64_t capability) {
        for (int type = 0; type < DEVICE_TYPE_COUNT; ++type) {
            g_settings.m_deviceType.SetTypeIndex(type);
            if (g_settings.m_deviceType.HasCapability(capability))
                return;
        }
        FAIL() << "no unit type has " << capability;
    };
    OpenMainWindow w;
    w.Open();
    // No unit type of the table offers the Modbus settings: the button is
    // disabled for every unit, and only a test reaches its command.
    ASSERT_FALSE(FindControl(&w, Dlg::IDC_MODBUS)->isEnabled());
    FindControl(&w, Dlg::IDC_MODBUS)->setEnabled(true);
    const auto word = [&](int number) { return w.GetSettings().GetWord(number); };
    CModalDriver driver;
    const auto typeInto = [](CDialog* d, int id, const char* text) { d->GetDlgItemAs<QLineEdit>(id)->setText(QString::fromLatin1(text)); };

    driver.On<CAdvancedDialog>(
        [&](CAdvancedDialog* d) {
            typeInto(d, CAdvancedDialog::IDC_CUTOUT_U, "2.5");
            PressButton(d, IDOK);
        },
        "other settings");
    PressButton(&w, Dlg::IDC_OTHERS);
    EXPECT_EQ(word(PARAMETER_INPUT_CUTOUT_U), 25);

    const std::uint16_t address = word(PARAMETER_MODBUS_ADDRESS);
    driver.On<CModbusDialog>(
        [&](CModbusDialog* d) {
            typeInto(d, CModbusDialog::IDC_ADDRESS, "17");
            PressButton(d, IDCANCEL);
        },
        "Modbus settings");
    PressButton(&w, Dlg::IDC_MODBUS);
    EXPECT_EQ(word(PARAMETER_MODBUS_ADDRESS), address);

    driver.On<CPasscodeDialog>(
        [&](CPasscodeDialog* d) {
            typeInto(d, CPasscodeDialog::IDC_NEW_PASSCODE, "0123");
            typeInto(d, CPasscodeDialog::IDC_CONFIRM_PASSCODE, "0123");
            PressButton(d, IDOK);
        },
        "passcode setting");
    PressButton(&w, Dlg::IDC_PASSCODE);
    EXPECT_EQ(word(PARAMETER_PASSCODE), 123);

    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    w.close();

    // Po2 on a unit with pulse outputs: the window's edits reach the set
    // first, since the weights follow them.
    typeWith(CAPABILITY_PULSE1 | CAPABILITY_PULSE2);
    OpenMainWindow p;
    p.Open();
    const auto pulseWord = [&](int number) { return p.GetSettings().GetWord(number); };
    const std::uint16_t firstOutput = pulseWord(PulseOutputWordNumber(0, PULSE_WORD_DURATION));
    int ctPrimarySeen = 0;
    driver.On<CPulseDialog>(
        [&](CPulseDialog* d) {
            ctPrimarySeen = d->GetSettings().GetWord(PARAMETER_INPUT_CT1);
            d->GetDlgItemAs<QComboBox>(CPulseDialog::IDC_DURATION)->setCurrentIndex(19);
            PressButton(d, IDOK);
        },
        "pulse output 2");
    Type(Edit(&p, Dlg::IDC_CT_PRIMARY), "250");
    PressButton(&p, Dlg::IDC_PULSE2);
    ASSERT_TRUE(driver.Done()) << driver.Pending().toStdString();
    EXPECT_EQ(ctPrimarySeen, 250);
    EXPECT_EQ(pulseWord(PulseOutputWordNumber(1, PULSE_WORD_DURATION)), 20);
    EXPECT_EQ(pulseWord(PulseOutputWordNumber(0, PULSE_WORD_DURATION)), firstOutput);
    EXPECT_TRUE(m_prompts.MessageTexts().empty());

    // Po1 with a value the window rejects: its error, and no pulse dialog.
    driver.On<CPulseDialog>([](CPulseDialog* d) { PressButton(d, IDCANCEL); }, "pulse output 1");
    Type(Edit(&p, Dlg::IDC_CT_PRIMARY), "30000");
    PressButton(&p, Dlg::IDC_PULSE1);
    QTest::qWait(50);
    EXPECT_EQ(driver.Pending(), "pulse output 1");
    ASSERT_EQ(m_prompts.MessageTexts().size(), 1u);
    EXPECT_TRUE(m_prompts.MessageTexts()[0].contains("20000")) << m_prompts.MessageTexts()[0].toStdString();
    EXPECT_EQ(Edit(&p, Dlg::IDC_CT_PRIMARY)->selectedText(), "30000");
}
