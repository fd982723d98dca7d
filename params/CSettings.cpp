#include "CSettings.h"

#include "CPrivateProfile.h"
#include "PasscodeProtocol.h"
#include "RegisterMap.h"
#include "comm/CModbusInterface.h"
#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "platform/MessageFormat.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

CSettings g_settings;

namespace {
struct DefaultWord
{
    int number;
    std::uint16_t value;
};

struct DefaultDword
{
    int number;
    std::int32_t value;
};

constexpr DefaultWord kDefaultWords[] = {
    {4, 1},   {5, 3},   {6, 6},   {7, 100}, {8, 1},    {9, 3},   {10, 2},  {11, 100}, {12, 1},  {13, 4},
    {14, 2},  {15, 100}, {16, 1}, {17, 5},  {18, 7},   {19, 100}, {20, 3}, {21, 8},   {22, 9},  {23, 10},
    {24, 3},  {25, 12}, {26, 13}, {27, 14}, {31, 5},   {32, 5},  {33, 5},  {36, 110}, {38, 10}, {39, 10},
    {40, 150}, {41, 5}, {43, 10}, {44, 5},  {83, 1},   {84, 5},  {85, 1},  {87, 15},  {88, 35}, {91, 10},
    {92, 1},  {93, 4},  {94, 30}, {95, 30}, {103, 1},  {116, 1}, {118, 9}, {120, 1},  {123, 1}, {126, 1},
    {128, 600}, {129, 2}, {135, 1},
};

constexpr DefaultDword kDefaultDwords[] = {
    {34, 110},  {47, 5000},  {51, 30000}, {55, 1500}, {59, 1500}, {63, 1500}, {67, 10000},
    {71, 6500}, {73, 4500},  {75, 1000},  {79, 180},  {81, -180}, {194, 6500}, {196, 4500},
};

// Per analog-output channel: assignment, input at 0 % and input at 100 %.
struct ChannelDefaults
{
    std::int16_t assignment;
    std::int16_t input0;
    std::int16_t input100;
};

constexpr ChannelDefaults kChannelDefaults[AOUT_CHANNEL_COUNT] = {
    {1, 0, 10000},  {2, 0, 10000},  {3, 0, 10000},      {5, 0, 10000},     {6, 0, 10000},
    {7, 0, 10000},  {11, 0, 10000}, {15, -10000, 10000}, {23, -5000, 5000}, {27, 0, 10000},
};

bool IsWordNumber(int number)
{
    return number >= 0 && number < PARAMETER_COUNT;
}
} // namespace

CSettings::CSettings()
{
    m_deviceType.SetTypeIndex(5);
    SetDefaults();
}

void CSettings::SetDefaults()
{
    for (const DefaultWord& d : kDefaultWords)
        SetWord(d.number, d.value);
    for (const DefaultDword& d : kDefaultDwords)
        SetDword(d.number, static_cast<std::uint32_t>(d.value));
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        const ChannelDefaults& c = kChannelDefaults[ch];
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT), static_cast<std::uint16_t>(c.assignment));
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ADJUST_SPAN), 10000);
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_INPUT0), static_cast<std::uint16_t>(c.input0));
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0), 400);
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_INPUT100), static_cast<std::uint16_t>(c.input100));
        SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100), 2000);
        for (int k = 0; k < AOUT_TABLE_POINTS; ++k)
            SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k + 1), 400);
    }
}

std::uint16_t CSettings::GetWord(int number) const
{
    return IsWordNumber(number) ? m_words[static_cast<std::size_t>(number)] : 0;
}

void CSettings::SetWord(int number, std::uint16_t value)
{
    if (IsWordNumber(number))
        m_words[static_cast<std::size_t>(number)] = value;
}

std::uint32_t CSettings::GetDword(int number) const
{
    return static_cast<std::uint32_t>(GetWord(number)) | (static_cast<std::uint32_t>(GetWord(number + 1)) << 16);
}

void CSettings::SetDword(int number, std::uint32_t value)
{
    // Both halves or neither: a pair that straddles the end is not half written.
    if (!IsWordNumber(number) || !IsWordNumber(number + 1))
        return;
    SetWord(number, static_cast<std::uint16_t>(value & 0xFFFF));
    SetWord(number + 1, static_cast<std::uint16_t>(value >> 16));
}

bool CSettings::HasCapability(std::uint32_t low, std::uint32_t high) const
{
    return m_deviceType.HasCapability(low, high);
}

// ---------------------------------------------------------------------------
// Upload and download

namespace {
constexpr std::uint16_t kBlockByRowVersion = 101;

double RowPercent(std::size_t row)
{
    return static_cast<double>(row) * 100.0 / REGISTER_MAP_ROWS;
}

bool Report(TransferProgressCallback callback, void* context, double percent)
{
    return callback == nullptr || callback(context, percent);
}

[[noreturn]] void ThrowTransferError(const QString& inner)
{
    throw CPrivateException(
        FormatPrintfTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_ERROR_MODBUS_ALL")), {inner}));
}

} // namespace

bool CSettings::Upload(CModbusInterface& link, TransferProgressCallback callback, void* context)
{
    // Filled apart and taken over only when complete.
    CSettings result(*this);
    try {
        const bool swap = ReadWordOrderIsHighFirst(link);
        CDeviceType unit;
        unit.ReadFromDevice(link);
        result.m_deviceType = unit;

        const std::uint64_t capabilities = result.m_deviceType.GetCapabilities();
        for (std::size_t i = 0; i < g_registerMap.size(); ++i) {
            const RegisterMapRow& row = g_registerMap[i];
            if (!row.AppliesTo(capabilities))
                continue;
            std::uint16_t* words = &result.m_words[row.firstParameter];
            const int address = static_cast<int>(row.firstRegister);
            const int count = static_cast<int>(row.count);
            if (row.kind == RegisterMapRow::Values32)
                link.ReadRegisters32(address, count, words, swap);
            else
                link.ReadRegisters(address, count, words);
            if (!Report(callback, context, RowPercent(i)))
                return false;
        }
    } catch (const CPrivateException& e) {
        ThrowTransferError(e.GetText());
    }
    *this = result;
    Report(callback, context, 100.0);
    return true;
}

bool CSettings::Download(CModbusInterface& link, TransferProgressCallback callback, void* context)
{
    try {
        bool completed = false;
        try {
            const std::uint16_t on = WRITE_MODE_PARAMETERS;
            link.WriteRegisters(REGISTER_WRITE_MODE, 1, &on);
            completed = WriteBlocks(link, callback, context);
            if (completed)
                EndWriteMode(link);
        } catch (...) {
            // The write-mode request may have reached the unit even when its reply was lost.
            EndWriteModeQuietly(link);
            throw;
        }
        if (!completed) {
            // A broken transfer does not leave the unit open.
            EndWriteModeQuietly(link);
            return false;
        }
    } catch (const CPrivateException& e) {
        ThrowTransferError(e.GetText());
    }
    Report(callback, context, 100.0);
    return true;
}

bool CSettings::WriteBlocks(CModbusInterface& link, TransferProgressCallback callback, void* context) const
{
    const bool swap = ReadWordOrderIsHighFirst(link);
    CDeviceType unit;
    unit.ReadFromDevice(link);
    if (m_deviceType.IsDifferentType(unit))
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_DOWNLOAD_DIF_DEVICE")));

    std::uint16_t version = 0;
    link.ReadRegisters(REGISTER_VERSION, 1, &version);
    const std::uint64_t capabilities = m_deviceType.GetCapabilities();
    const bool rowByRow = (capabilities & CAPABILITY_BIT32) != 0 && version < kBlockByRowVersion;

    bool skipInputRows = false;
    if ((capabilities & CAPABILITY_DIPSW) != 0) {
        std::uint16_t dipSwitch = 0;
        link.ReadRegisters(REGISTER_DIPSW, 1, &dipSwitch);
        if ((dipSwitch & 1) != GetWord(PARAMETER_INPUT_DIPSW))
            throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_DOWNLOAD_DIF_DIPSW")));
        skipInputRows = GetWord(PARAMETER_INPUT_DIPSW) == 0;
    }

    std::array<std::uint16_t, REGISTER_BLOCK_MAX_WORDS> buffer{};
    bool blockOpen = false;
    std::uint32_t blockStart = 0;
    for (std::size_t i = 0; i < g_registerMap.size(); ++i) {
        const RegisterMapRow& row = g_registerMap[i];
        if (!row.AppliesTo(capabilities))
            continue;
        if (!blockOpen) {
            blockOpen = true;
            blockStart = row.firstRegister;
            buffer.fill(0);
        }
        if (skipInputRows &&
            (row.firstRegister == REGISTER_INPUT_SYSTEM || row.firstRegister == REGISTER_INPUT2_CT1)) {
            blockOpen = false;
            continue;
        }
        const std::uint32_t offset = row.firstRegister - blockStart;
        const std::uint16_t* words = &m_words[row.firstParameter];
        if (row.kind == RegisterMapRow::Values32) {
            for (std::uint32_t v = 0; v < row.count; ++v) {
                const std::uint16_t low = words[2 * v];
                const std::uint16_t high = words[2 * v + 1];
                buffer[offset + 2 * v] = swap ? high : low;
                buffer[offset + 2 * v + 1] = swap ? low : high;
            }
        } else {
            for (std::uint32_t v = 0; v < row.count; ++v)
                buffer[offset + v] = words[v];
        }
        if (row.endsBlock || rowByRow) {
            const std::uint32_t count = row.firstRegister + row.WordCount() - blockStart;
            link.WriteRegisters(static_cast<int>(blockStart), static_cast<int>(count), buffer.data());
            blockOpen = false;
        }
        if (!Report(callback, context, RowPercent(i)))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Parameter file

namespace {
const QString kFileSection = QStringLiteral("AVOCFG");
// The profile read of each value takes at most this many characters.
constexpr qsizetype kValueChars = 31;

QString DecimalText(long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    return QString::fromLatin1(text);
}

QString RegisterKey(std::uint32_t address)
{
    return QLatin1Char('L') + DecimalText(address);
}

QString IoKey(int index)
{
    return QStringLiteral("DeviceIO") + DecimalText(index);
}

// A decimal integer after optional blanks and a sign; text after it is
// ignored. Values outside -2^31 .. 2^32 - 1 are refused rather than wrapped.
bool ParseFileNumber(const QString& text, std::int64_t& value)
{
    const QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE)
        return false;
    if (parsed < INT32_MIN || parsed > static_cast<long long>(UINT32_MAX))
        return false;
    value = parsed;
    return true;
}

std::int64_t ReadFileNumber(const CPrivateProfile& profile, const QString& key, const QString& defaultValue)
{
    std::int64_t value = 0;
    if (!ParseFileNumber(profile.GetString(kFileSection, key, defaultValue).left(kValueChars), value))
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
    return value;
}
} // namespace

bool CSettings::SaveFile(const QString& path) const
{
    // Keys that this set does not write stay as the file has them.
    CPrivateProfile profile;
    int error = 0;
    if (!profile.Load(path, error, kMaxFileBytes) && error != ENOENT)
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_SAVE_PARAMETER"), error));

    const auto write = [&](const QString& key, long long value) { profile.WriteString(kFileSection, key, DecimalText(value)); };
    write(QStringLiteral("Model"), m_deviceType.GetModelCode());
    write(QStringLiteral("DeviceExtension"), m_deviceType.GetOptionBits() & DEVICE_OPTION_MASK);
    for (int i = 0; i < DEVICE_IO_WORD_COUNT; ++i)
        write(IoKey(i), m_deviceType.GetIoWord(i));

    const std::uint64_t capabilities = m_deviceType.GetCapabilities();
    for (const RegisterMapRow& row : g_registerMap) {
        if (!row.AppliesTo(capabilities))
            continue;
        for (std::uint32_t i = 0; i < row.count; ++i) {
            const int parameter = static_cast<int>(row.firstParameter);
            if (row.kind == RegisterMapRow::Values32)
                write(RegisterKey(row.firstRegister + i),
                      static_cast<std::int32_t>(GetDword(parameter + 2 * static_cast<int>(i))));
            else
                write(RegisterKey(row.firstRegister + i), GetWord(parameter + static_cast<int>(i)));
        }
    }

    if (!profile.Save(path, error))
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_SAVE_PARAMETER"), error));
    return true;
}

bool CSettings::LoadFile(const QString& path)
{
    CPrivateProfile profile;
    int error = 0;
    if (!profile.Load(path, error, kMaxFileBytes)) {
        if (error == EFBIG)
            throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_LOAD_PARAMETER"), error));
    }
    // Without its section the file is no parameter file (empty, or another
    // kind of text); reading it would leave a set of an unknown unit.
    if (!profile.HasSection(kFileSection))
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_LOAD_PARAMETER_FORMAT")));

    // Read into a copy: a file that fails half-way leaves this set as it was.
    CSettings loaded(*this);
    const auto word = [&](const QString& key, const QString& defaultValue) {
        return static_cast<std::uint16_t>(ReadFileNumber(profile, key, defaultValue) & 0xFFFF);
    };
    const std::uint16_t model = word(QStringLiteral("Model"), QStringLiteral("6101"));
    const std::uint16_t options = word(QStringLiteral("DeviceExtension"), QStringLiteral("0"));
    std::array<std::uint16_t, DEVICE_IO_WORD_COUNT> io{};
    for (int i = 0; i < DEVICE_IO_WORD_COUNT; ++i)
        io[static_cast<std::size_t>(i)] = word(IoKey(i), QStringLiteral("0"));
    loaded.m_deviceType = CDeviceType(model, options, io[0], io[1], io[2], io[3], io[4]);

    // A unit type that no supported type matches would load no words, and a
    // set of it could be neither shown, saved nor downloaded.
    const std::uint64_t capabilities = loaded.m_deviceType.GetCapabilities();
    if (capabilities == 0)
        throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_ERROR_LOAD_PARAMETER_FORMAT")));
    for (const RegisterMapRow& row : g_registerMap) {
        if (!row.AppliesTo(capabilities))
            continue;
        for (std::uint32_t i = 0; i < row.count; ++i) {
            const std::int64_t value = ReadFileNumber(profile, RegisterKey(row.firstRegister + i), QString());
            const int parameter = static_cast<int>(row.firstParameter);
            if (row.kind == RegisterMapRow::Values32)
                loaded.SetDword(parameter + 2 * static_cast<int>(i), static_cast<std::uint32_t>(value & 0xFFFFFFFF));
            else
                loaded.SetWord(parameter + static_cast<int>(i), static_cast<std::uint16_t>(value & 0xFFFF));
        }
    }
    *this = loaded;
    return true;
}
