#include "CMeasurandsAvo.h"

#include "foundation/CCodePageEncoder.h"
#include "foundation/CStringTable.h"

#include <QByteArray>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

struct KindRange
{
    int first;
    int last;
    std::int8_t kind;
};

constexpr KindRange kKindRanges[] = {
    {0, 0, 0},       {1, 1, 1},       {2, 2, 2},       {3, 3, 3},       {4, 4, 4},       {5, 5, 5},
    {6, 6, 6},       {7, 7, 7},       {8, 11, 0},      {12, 17, 1},     {18, 20, 2},     {21, 23, 3},
    {24, 26, 4},     {27, 29, 5},     {30, 32, 7},     {33, 33, 8},     {34, 34, 9},     {35, 35, 10},
    {36, 36, 8},     {37, 41, 9},     {42, 42, 11},    {43, 44, 9},     {45, 45, 8},     {46, 46, 9},
    {47, 47, 8},     {48, 48, 9},     {49, 49, 10},    {50, 50, 8},     {51, 55, 9},     {56, 56, 11},
    {57, 58, 9},     {59, 59, 8},     {60, 60, 9},     {61, 70, 0},     {71, 72, 9},     {73, 73, 8},
    {74, 74, 9},     {75, 84, 0},     {85, 86, 9},     {87, 87, 8},     {88, 88, 9},     {89, 113, 0},
    {114, 114, 2},   {115, 115, 3},   {116, 116, 4},   {117, 117, 2},   {118, 118, 3},   {119, 119, 4},
    {120, 120, 2},   {121, 121, 3},   {122, 122, 4},   {123, 123, 2},   {124, 124, 3},   {125, 125, 4},
    {126, 126, 2},   {127, 127, 3},   {128, 128, 4},   {129, 129, 0},   {130, 130, 1},   {131, 131, 2},
    {132, 132, 3},   {133, 133, 4},   {134, 134, 5},   {135, 135, 6},   {136, 136, 7},   {137, 140, 0},
    {141, 146, 1},   {147, 149, 2},   {150, 152, 3},   {153, 155, 4},   {156, 158, 5},   {159, 168, 12},
    {169, 173, 0},   {174, 175, 2},   {176, 177, 3},   {178, 178, 4},   {179, 179, 0},   {180, 180, 1},
    {181, 181, 2},   {182, 182, 3},   {183, 183, 4},   {184, 184, 5},   {185, 185, 6},   {186, 189, 0},
    {190, 195, 1},   {196, 198, 2},   {199, 201, 3},   {202, 204, 4},   {205, 207, 5},   {208, 217, 12},
    {218, 225, 13},  {226, 226, 12},  {227, 232, 0},
};

constexpr std::array<std::int8_t, CMeasurandsAvo::kTextItemCount> MakeKindTable()
{
    std::array<std::int8_t, CMeasurandsAvo::kTextItemCount> table{};
    for (const KindRange& range : kKindRanges)
        for (int item = range.first; item <= range.last; ++item)
            table[static_cast<std::size_t>(item)] = range.kind;
    return table;
}

constexpr auto kKinds = MakeKindTable();

// The fraction of an energy item lies this many items further on.
constexpr int kEnergyFractionOffset = 28;
constexpr std::uint32_t kFractionDivisor = 4294967;

constexpr std::uint16_t kOptionBit7 = 0x80;
constexpr std::uint16_t kOptionBit8 = 0x100;
constexpr std::uint16_t kFirstProtectedAvoVersion = 101;

template <typename... Args>
QString Format(const char* format, Args... args)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return QString::fromLatin1(buffer);
}

// The characters up to the first NUL (all of them when there is none).
template <std::size_t N>
QString DecodeCharacters(const std::array<char, N>& characters)
{
    const void* nul = std::memchr(characters.data(), 0, N);
    const auto length = nul ? static_cast<const char*>(nul) - characters.data() : static_cast<std::ptrdiff_t>(N);
    const QByteArray bytes(characters.data(), static_cast<qsizetype>(length));
    return CCodePageEncoder(CCodePageEncoder::LanguageCodePage()).Decode(bytes);
}

} // namespace

CMeasurandsAvo::CMeasurandsAvo() = default;

int CMeasurandsAvo::GetItemKind(int item)
{
    if (item < 0 || item >= kTextItemCount)
        return -1;
    return kKinds[static_cast<std::size_t>(item)];
}

QString CMeasurandsAvo::GetModelName() const
{
    const auto variant = [this](const char* bit7, const char* bit8Clear, const char* bit8Set) {
        if (OptionBits & kOptionBit7)
            return QString::fromLatin1(bit7);
        return QString::fromLatin1((OptionBits & kOptionBit8) ? bit8Set : bit8Clear);
    };
    switch (ModelCode) {
    case kModelAvo:
        return QStringLiteral("Avo");
    case kModelAvoq:
        return QStringLiteral("Avoq");
    case kModelBex:
        return variant("Bexa", "Bex", "Bexo");
    case kModelZendra:
        return variant("Zendra", "Zendro", "Zendri");
    default:
        return {};
    }
}

QString CMeasurandsAvo::GetMeasurandText(int item) const
{
    switch (item) {
    case kItemModelName:
        return GetModelName();
    case kItemFirmwareVersion:
        return Format("%.02lf", FirmwareVersion / 100.0);
    case kItemSerialNumber:
        return DecodeCharacters(SerialNumber);
    case kItemPasscodeWord:
        return Format("%lu", static_cast<unsigned long>(ProtectionPasscode));
    case kItemProtection: {
        const bool supported = ModelCode == kModelZendra || ModelCode == kModelBex || ModelCode == kModelAvoq ||
                               (ModelCode == kModelAvo && FirmwareVersion >= kFirstProtectedAvoVersion);
        if (!supported)
            return CStringTable::LoadString(3402);
        return CStringTable::LoadString(ProtectionPasscode != 0 ? 3400 : 3401);
    }
    case kItemTagNumber:
        return DecodeCharacters(TagNumber);
    default:
        break;
    }

    const int kind = GetItemKind(item);
    if (kind < 0)
        return {};
    const std::int32_t v = Items[static_cast<std::size_t>(item)];
    switch (kind) {
    case 0:
        return Format("%.3lf", v / 1000.0);
    case 1:
    case 6:
        return Format("%.2lf", v / 100.0);
    case 2:
    case 3:
    case 4:
    case 13:
        return Format("%d", static_cast<int>(v));
    case 5:
        return Format("%.4lf", v / 10000.0);
    case 7:
        return QString::fromLatin1(v != 0 ? "lead" : "lag");
    case 8:
    case 9:
    case 10: {
        const auto fractionWord = static_cast<std::uint32_t>(Items[static_cast<std::size_t>(item + kEnergyFractionOffset)]);
        const std::uint32_t fraction = fractionWord / kFractionDivisor;
        return Format("%.4lf", v / 10.0 + fraction / 10000.0);
    }
    case 11:
    case 12:
        return Format("%.1lf", v / 10.0);
    default:
        return {};
    }
}
