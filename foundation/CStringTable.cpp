#include "CStringTable.h"

namespace {

struct StringEntry
{
    int id;
    const char16_t* text;
};

constexpr StringEntry kStrings[] = {
#define OMBRIX_STRING(id, text) {id, text},
#include "resources/StringTable.inc"
#undef OMBRIX_STRING
    {0, nullptr}, // end marker; keeps the table valid while it has no entries
};

} // namespace

QString CStringTable::LoadString(int id)
{
    for (const StringEntry& entry : kStrings) {
        if (entry.text != nullptr && entry.id == id)
            return QString::fromUtf16(entry.text);
    }
    return {};
}
