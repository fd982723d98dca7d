// Parameter files: what a save writes, what a load accepts, and that
// failures neither corrupt the caller's set nor the file on disk.
#include "TestText.h"
#include "params/CPrivateProfile.h"
#include "params/CSettings.h"
#include "params/RegisterMap.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// One text of a file replaced by another.
struct TextEdit
{
    const char* from;
    const char* to;
};

class ParameterFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        ASSERT_TRUE(m_dir.isValid());
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // The text a failed load or save must carry.
    static QString Message(const char* key) { return CMessageFormatter(QString::fromLatin1(key)).GetText(); }
    static QString Message(const char* key, int error)
    {
        return CMessageFormatter(QString::fromLatin1(key), error).GetText();
    }

    // Throws the load's exception text, or returns an empty text.
    static QString LoadError(CSettings& set, const QString& path)
    {
        try {
            set.LoadFile(path);
        } catch (const CPrivateException& e) {
            return e.GetText();
        }
        return {};
    }

    static void ExpectSame(const CSettings& a, const CSettings& b)
    {
        for (int n = 0; n < PARAMETER_COUNT; ++n)
            ASSERT_EQ(a.GetWord(n), b.GetWord(n)) << "word " << n;
        EXPECT_EQ(a.m_deviceType.GetRow(), b.m_deviceType.GetRow());
        EXPECT_EQ(a.m_deviceType.GetModelCode(), b.m_deviceType.GetModelCode());
        EXPECT_EQ(a.m_deviceType.GetOptionBits(), b.m_deviceType.GetOptionBits());
        for (int i = 0; i < DEVICE_IO_WORD_COUNT; ++i)
            EXPECT_EQ(a.m_deviceType.GetIoWord(i), b.m_deviceType.GetIoWord(i)) << "I/O word " << i;
    }

    // What a fresh set saves.
    QByteArray GoodFile() const
    {
        EXPECT_TRUE(CSettings().SaveFile(Path("base.cfg")));
        return Read(Path("base.cfg"));
    }

    // A file with these bytes fails to load with the format message and
    // leaves the set as it was.
    void ExpectRefused(const QByteArray& bytes)
    {
        Write(Path("bad.cfg"), bytes);
        CSettings set = Marked();
        const CSettings before = set;
        EXPECT_EQ(Str(LoadError(set, Path("bad.cfg"))), Str(Message("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
        ExpectSame(set, before);
    }
    void ExpectRefused(const QByteArray& good, const TextEdit& edit)
    {
        SCOPED_TRACE(edit.to);
        ExpectRefused(QByteArray(good).replace(edit.from, edit.to));
    }

    // A set of another type with every word set, to show what a load touches.
    static CSettings Marked()
    {
        CSettings set;
        set.m_deviceType.SetTypeIndex(1);
        for (int n = 0; n < PARAMETER_COUNT; ++n)
            set.SetWord(n, static_cast<std::uint16_t>(0xA000 + n));
        return set;
    }

    QTemporaryDir m_dir;
};

// The words of every row that applies to the set, as the file would name them.
std::vector<int> ApplyingWords(const CSettings& set)
{
    std::vector<int> words;
    for (const RegisterMapRow& row : g_registerMap) {
        if (!row.AppliesTo(set.m_deviceType.GetCapabilities()))
            continue;
        for (std::uint32_t i = 0; i < row.WordCount(); ++i)
            words.push_back(static_cast<int>(row.firstParameter + i));
    }
    return words;
}
} // namespace

TEST_F(ParameterFileTest, FreshSetWritesTheKeysOfItsType)
{
    const CSettings set;
    ASSERT_TRUE(set.SaveFile(Path("fresh.cfg")));
    const QString text = QString::fromUtf8(Read(Path("fresh.cfg")));
    EXPECT_TRUE(text.startsWith(QLatin1String("[AVOCFG]\r\nModel=6103\r\nDeviceExtension=17\r\nDeviceIO0=0\r\n"
                                              "DeviceIO1=2\r\nDeviceIO2=10\r\nDeviceIO3=0\r\nDeviceIO4=0\r\nL5332=0\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("\r\nL5603=110\r\n")));
    EXPECT_TRUE(text.contains(QLatin1String("\r\nL7013=400\r\n")));
    EXPECT_TRUE(text.contains(QLatin1String("\r\nL7222=55536\r\n"))) << "-10000 written unsigned";
    EXPECT_FALSE(text.contains(QLatin1String("L5604=")));
    EXPECT_FALSE(text.contains(QLatin1String("L7036=")));
    EXPECT_FALSE(text.contains(QLatin1String("L5728=")));
    EXPECT_EQ(text.count(QLatin1String("\r\nL")), 302);
    EXPECT_TRUE(text.endsWith(QLatin1String("L7305=400\r\n")));
}

TEST_F(ParameterFileTest, EverySupportedTypeRoundTrips)
{
    for (int type = 0; type < DEVICE_TYPE_COUNT; ++type) {
        CSettings saved;
        saved.m_deviceType.SetTypeIndex(type);
        for (int n : ApplyingWords(saved))
            saved.SetWord(n, static_cast<std::uint16_t>(n * 131 + type * 7919));
        // A negative 32-bit value and the extremes of a word.
        saved.SetDword(PARAMETER_INPUT_VT1, static_cast<std::uint32_t>(-123456789));
        saved.SetWord(PARAMETER_AOUT_FIRST, 0xFFFF);
        saved.SetWord(PARAMETER_AOUT_FIRST + 1, 0x8000);
        const QString path = Path("type.cfg");
        ASSERT_TRUE(saved.SaveFile(path));

        CSettings loaded = Marked();
        ASSERT_TRUE(loaded.LoadFile(path));
        EXPECT_EQ(loaded.m_deviceType.GetTypeIndex(), type);
        const std::vector<int> words = ApplyingWords(saved);
        EXPECT_EQ(words.size(), 303u);
        for (int n : words)
            ASSERT_EQ(loaded.GetWord(n), saved.GetWord(n)) << "type " << type << " word " << n;
        // Words no row covers keep what the set had.
        EXPECT_EQ(loaded.GetWord(PARAMETER_PROTECT_OPERATION), 0xA000);
        const int uncovered = AlarmWordNumber(8, ALARM_WORD_ON_DELAY);
        EXPECT_EQ(loaded.GetWord(uncovered), 0xA000 + uncovered);
    }
}

TEST_F(ParameterFileTest, HandWrittenFileFollowsTheProfileRules)
{
    QByteArray text = GoodFile();
    text.replace("[AVOCFG]", "; written by hand\n[ other ]\nL5332=1\n\n  [ avocfg ]  ");
    text.replace("Model=6103", "  mODEL   =   6103   ");
    text.replace("L5332=0", "l5332 = 7\nL5332=9");            // the first of two equal keys wins
    text.replace("L5600=5", "L5600=\"3\"");                     // one pair of quotes is dropped
    text.replace("L5601=5", "L5601=12abc");                     // trailing text is ignored
    text.replace("L7012=0", "L7012=-10000");                    // a negative word keeps its low 16 bits
    text.replace("L5603=110", "L5603 = -2147483648");
    text.replace("\r\n", "\n");
    text += "\n[AVOCFG]\nL5605=4242\n";                         // a second section is never read
    Write(Path("hand.cfg"), text);

    CSettings set;
    ASSERT_TRUE(set.LoadFile(Path("hand.cfg")));
    EXPECT_EQ(set.m_deviceType.GetTypeIndex(), 5);
    EXPECT_EQ(set.GetWord(PARAMETER_PASSCODE), 7);
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_SYSTEM), 3);
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_CT1), 12);
    EXPECT_EQ(set.GetWord(AnalogOutputWordNumber(0, AOUT_WORD_INPUT0)), 0xD8F0);
    EXPECT_EQ(set.GetDword(PARAMETER_INPUT_VT1), 0x80000000u);
    EXPECT_EQ(set.GetWord(PARAMETER_INPUT_VT2), 110);
}

TEST_F(ParameterFileTest, BadValuesFailWithTheFormatMessageAndLeaveTheSetAlone)
{
    const QByteArray good = GoodFile();
    const TextEdit cases[] = {
        {"L5332=0", "L5332=abc"},
        {"L5332=0", "L5332="},
        {"L5332=0", "L5332=   "},
        {"L5332=0\r\n", ""},                    // a missing key
        {"L5332=0", "L5332=99999999999"},       // past 32 bits: refused, never wrapped
        {"L5332=0", "L5332=4294967296"},
        {"L5332=0", "L5332=-2147483649"},
        {"L5603=110", "L5603=18446744073709551616"},
        {"Model=6103", "Model=x6103"},
        {"DeviceIO1=2", "DeviceIO1=-"},
    };
    for (const TextEdit& edit : cases)
        ExpectRefused(good, edit);

    // The edges of the accepted range.
    QByteArray text = good;
    text.replace("L5603=110", "L5603=4294967295");
    text.replace("L5332=0", "L5332=-2147483648");
    Write(Path("edge.cfg"), text);
    CSettings set;
    ASSERT_TRUE(set.LoadFile(Path("edge.cfg")));
    EXPECT_EQ(set.GetDword(PARAMETER_INPUT_VT1), 0xFFFFFFFFu);
    EXPECT_EQ(set.GetWord(PARAMETER_PASSCODE), 0);
}

TEST_F(ParameterFileTest, TruncatedAndGarbageFilesFailWithoutHarm)
{
    const QByteArray good = GoodFile();
    const QByteArray files[] = {
        good.left(good.size() / 2),          // cut in the middle of the L keys
        good.left(good.indexOf("L7305=")),   // only the last key missing
        QByteArray(1, '\0') + "\x01\xff\xfe garbage \x80\x81\r\n[AVOCFG]\r\nModel=6103\r\nDeviceExtension=17\r\n"
                               "DeviceIO1=2\r\nDeviceIO2=10\r\nL5332=\x01\r\n",
        // No parameter file at all: empty, any text, another profile.
        QByteArray(),
        "\x89PNG\r\n\x1a\n garbage",
        "[Other]\r\nModel=6103\r\nL5332=5\r\n",
    };
    for (const QByteArray& bytes : files)
        ExpectRefused(bytes);
}

TEST_F(ParameterFileTest, FileOfAnUnsupportedUnitTypeIsRefusedAndLeavesTheSetAlone)
{
    const QByteArray good = GoodFile();
    const TextEdit cases[] = {
        {"Model=6103\r\n", ""},                      // reads as 6101
        {"Model=6103", "Model=6999"},
        {"DeviceExtension=17", "DeviceExtension=25"}, // 0x19: not masked on load
        {"DeviceIO3=0", "DeviceIO3=2"},
    };
    for (const TextEdit& edit : cases)
        ExpectRefused(good, edit);
}

TEST_F(ParameterFileTest, FileLargerThanAParameterFileCanBeIsRefusedUnread)
{
    const QByteArray good = GoodFile();
    const QByteArray atLimit = good + "; " + QByteArray(CSettings::kMaxFileBytes - good.size() - 4, 'x') + "\r\n";
    ASSERT_EQ(atLimit.size(), CSettings::kMaxFileBytes);
    Write(Path("limit.cfg"), atLimit);
    CSettings set;
    EXPECT_TRUE(set.LoadFile(Path("limit.cfg")));
    ExpectRefused(atLimit + "x");

    // Neither read whole nor merged into.
    CSettings marked = Marked();
    const CSettings before = marked;
    QFile huge(Path("huge.cfg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(good);
    ASSERT_TRUE(huge.resize(qint64{1} << 34));
    huge.close();
    EXPECT_EQ(Str(LoadError(marked, Path("huge.cfg"))), Str(Message("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
    ExpectSame(marked, before);
    try {
        set.SaveFile(Path("huge.cfg"));
        ADD_FAILURE() << "saved into a file larger than a parameter file";
    } catch (const CPrivateException& e) {
        EXPECT_EQ(Str(e.GetText()), Str(Message("MSG_ERROR_SAVE_PARAMETER", EFBIG)));
    }
    EXPECT_EQ(QFileInfo(Path("huge.cfg")).size(), qint64{1} << 34);
}

TEST_F(ParameterFileTest, FileThatCannotBeReadFailsWithTheSystemReason)
{
    CSettings set = Marked();
    const CSettings before = set;
    const QString missing = LoadError(set, Path("missing.cfg"));
    EXPECT_EQ(Str(missing), Str(Message("MSG_ERROR_LOAD_PARAMETER", ENOENT)));
    EXPECT_FALSE(SystemErrorText(ENOENT).isEmpty());
    EXPECT_TRUE(missing.contains(SystemErrorText(ENOENT).trimmed()));
    ExpectSame(set, before);

    QDir(m_dir.path()).mkdir(QStringLiteral("folder.cfg"));
    EXPECT_EQ(Str(LoadError(set, Path("folder.cfg"))), Str(Message("MSG_ERROR_LOAD_PARAMETER", EISDIR)));
    ExpectSame(set, before);

    // Nothing but a regular file is read: a FIFO would wait for a writer, a device might never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.cfg")).constData(), 0600), 0);
    EXPECT_EQ(Str(LoadError(set, Path("pipe.cfg"))), Str(Message("MSG_ERROR_LOAD_PARAMETER", EINVAL)));
    EXPECT_EQ(Str(LoadError(set, QStringLiteral("/dev/zero"))), Str(Message("MSG_ERROR_LOAD_PARAMETER", EINVAL)));
    ExpectSame(set, before);

    if (::geteuid() != 0) {
        Write(Path("locked.cfg"), "[AVOCFG]\r\n");
        QFile::setPermissions(Path("locked.cfg"), QFileDevice::Permissions());
        EXPECT_EQ(Str(LoadError(set, Path("locked.cfg"))), Str(Message("MSG_ERROR_LOAD_PARAMETER", EACCES)));
        ExpectSame(set, before);
    }
}

TEST_F(ParameterFileTest, SaveMergesIntoAnExistingFile)
{
    Write(Path("merge.cfg"), "; notes of the user\r\n[Other]\r\nL5332=77\r\n\r\n[avocfg]\r\nStale=1\r\n"
                             "model=1\r\nL9999=5\r\n\r\n[Last]\r\nx=y\r\n");
    CSettings set;
    set.SetWord(PARAMETER_PASSCODE, 1234);
    ASSERT_TRUE(set.SaveFile(Path("merge.cfg")));
    const QString text = QString::fromUtf8(Read(Path("merge.cfg")));
    EXPECT_TRUE(text.startsWith(QLatin1String("; notes of the user\r\n[Other]\r\nL5332=77\r\n\r\n[avocfg]\r\nStale=1\r\n"
                                              "Model=6103\r\nL9999=5\r\nDeviceExtension=17\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1String("L7305=400\r\n\r\n[Last]\r\nx=y\r\n"))) << text.toStdString();

    CSettings loaded = Marked();
    ASSERT_TRUE(loaded.LoadFile(Path("merge.cfg")));
    EXPECT_EQ(loaded.GetWord(PARAMETER_PASSCODE), 1234);

    // A file with line feeds only keeps them.
    Write(Path("lf.cfg"), "[AVOCFG]\nModel=1\n");
    ASSERT_TRUE(set.SaveFile(Path("lf.cfg")));
    EXPECT_FALSE(Read(Path("lf.cfg")).contains('\r'));

    // Through a symbolic link the file it names is written; the link stays.
    Write(Path("real.cfg"), "[AVOCFG]\r\nModel=1\r\n");
    ASSERT_TRUE(QFile::link(Path("real.cfg"), Path("link.cfg")));
    ASSERT_TRUE(set.SaveFile(Path("link.cfg")));
    EXPECT_TRUE(QFileInfo(Path("link.cfg")).isSymLink());
    EXPECT_TRUE(Read(Path("real.cfg")).contains("Model=6103\r\n"));
}

TEST_F(ParameterFileTest, FailedSaveKeepsTheOldFile)
{
    CSettings set;
    const QString path = Path("keep.cfg");
    Write(path, "[AVOCFG]\r\nModel=1\r\n");
    const QByteArray old = Read(path);

    // A write that runs out of room half-way.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous {};
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1000, limit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    QString error;
    try {
        set.SaveFile(path);
    } catch (const CPrivateException& e) {
        error = e.GetText();
    }
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(Str(error), Str(Message("MSG_ERROR_SAVE_PARAMETER", EFBIG)));
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(Str(QDir(m_dir.path()).entryList(QDir::Files).join(QLatin1Char(' '))), "keep.cfg") << "no leftovers";


    const auto saveError = [&](const QString& target) {
        try {
            set.SaveFile(target);
        } catch (const CPrivateException& e) {
            return e.GetText();
        }
        return QString();
    };
    // A write-protected file is refused, as an in-place write would be; by
    // its bits, also for the super-user.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(Str(saveError(path)), Str(Message("MSG_ERROR_SAVE_PARAMETER", EACCES)));
    EXPECT_EQ(Read(path), old);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // Nothing but a regular file is replaced.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.cfg")).constData(), 0600), 0);
    EXPECT_EQ(Str(saveError(Path("pipe.cfg"))), Str(Message("MSG_ERROR_SAVE_PARAMETER", EINVAL)));
    EXPECT_FALSE(QFileInfo(Path("pipe.cfg")).isFile()) << "the FIFO stays a FIFO";
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.cfg"));
    EXPECT_EQ(Str(saveError(Path("folder.cfg"))), Str(Message("MSG_ERROR_SAVE_PARAMETER", EISDIR)));

    // In a folder where no new file can be made, a writable file is written in place.
    CPrivateProfile::RefuseTemporaryFilesForTests(true);
    set.SetWord(PARAMETER_PASSCODE, 4321);
    const QString inPlace = saveError(path);
    const QString fresh = saveError(Path("fresh.cfg"));
    CPrivateProfile::RefuseTemporaryFilesForTests(false);
    EXPECT_EQ(Str(inPlace), "");
    CSettings loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded.GetWord(PARAMETER_PASSCODE), 4321);
    EXPECT_EQ(Str(fresh), Str(Message("MSG_ERROR_SAVE_PARAMETER", EACCES)));
    EXPECT_FALSE(QFileInfo::exists(Path("fresh.cfg")));

    // A name so long that no temporary name fits beside it.
    const QString longName = m_dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".cfg"));
    Write(longName, "[AVOCFG]\r\nModel=1\r\n");
    EXPECT_EQ(Str(saveError(longName)), "");
    ASSERT_TRUE(loaded.LoadFile(longName));
    EXPECT_EQ(loaded.GetWord(PARAMETER_PASSCODE), 4321);

    // A folder that does not exist.
    try {
        set.SaveFile(Path("nowhere/x.cfg"));
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const CPrivateException& e) {
        EXPECT_EQ(Str(e.GetText()), Str(Message("MSG_ERROR_SAVE_PARAMETER", ENOENT)));
    }
}

TEST_F(ParameterFileTest, UnicodeFilesKeepTheirEncoding)
{
    CSettings set;
    set.SetWord(PARAMETER_PASSCODE, 4321);
    ASSERT_TRUE(set.SaveFile(Path("utf8.cfg")));
    QByteArray wide("\xFF\xFE", 2);
    const QString text = QString::fromUtf8(Read(Path("utf8.cfg"))).replace(QLatin1String("L5332=4321"),
                                                                           QString::fromUtf8("L5332=17 \xC2\xB5"));
    wide += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    Write(Path("utf16.cfg"), wide);

    CSettings loaded;
    ASSERT_TRUE(loaded.LoadFile(Path("utf16.cfg")));
    EXPECT_EQ(loaded.GetWord(PARAMETER_PASSCODE), 17);

    ASSERT_TRUE(set.SaveFile(Path("utf16.cfg")));
    EXPECT_TRUE(Read(Path("utf16.cfg")).startsWith(QByteArray("\xFF\xFE[\0A\0", 6)));
    ASSERT_TRUE(loaded.LoadFile(Path("utf16.cfg")));
    EXPECT_EQ(loaded.GetWord(PARAMETER_PASSCODE), 4321);
}

TEST(PrivateProfileTest, LookUpAndWriteRules)
{
    CPrivateProfile profile;
    profile.WriteString(QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("1"));
    profile.WriteString(QStringLiteral("B"), QStringLiteral("two"), QStringLiteral(" '2' "));
    profile.WriteString(QStringLiteral("a"), QStringLiteral("ONE"), QStringLiteral("11"));
    profile.WriteString(QStringLiteral("A"), QStringLiteral("three"), QStringLiteral("\"3"));
    EXPECT_EQ(Str(profile.GetString(QStringLiteral("a"), QStringLiteral("One"), QStringLiteral("d"))), Str(QStringLiteral("11")));
    EXPECT_EQ(Str(profile.GetString(QStringLiteral("B"), QStringLiteral("two"), QStringLiteral("d"))), Str(QStringLiteral("2")));
    EXPECT_EQ(Str(profile.GetString(QStringLiteral("A"), QStringLiteral("three"), QString())), Str(QStringLiteral("\"3")));
    EXPECT_EQ(Str(profile.GetString(QStringLiteral("A"), QStringLiteral("four"), QStringLiteral("d"))), Str(QStringLiteral("d")));
    EXPECT_EQ(Str(profile.GetString(QStringLiteral("C"), QStringLiteral("one"), QStringLiteral("d"))), Str(QStringLiteral("d")));

    QTemporaryDir dir;
    int error = 0;
    ASSERT_TRUE(profile.Save(dir.filePath(QStringLiteral("p.ini")), error));
    QFile file(dir.filePath(QStringLiteral("p.ini")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[A]\r\nONE=11\r\nthree=\"3\r\n\r\n[B]\r\ntwo= '2' \r\n"));
}
