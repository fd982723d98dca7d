#include "ModelChoice.h"

namespace {

// The part before the first '|' and the part after it, when that '|' is not
// the first character.
bool SplitOnce(const QString& text, QString& head, QString& rest)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (text.isEmpty() || bar < 1)
        return false;
    head = text.left(bar);
    rest = text.mid(bar + 1);
    return true;
}

void AddUnlessRepeated(QStringList& items, QString& previous, const QString& text)
{
    if (text == previous)
        return;
    items.append(text);
    previous = text;
}

} // namespace

ModelChoice SplitModelText(const QString& text, std::uint16_t typeIndex)
{
    ModelChoice choice;
    choice.typeIndex = typeIndex;
    QString rest;
    if (!SplitOnce(text, choice.level1, rest)) {
        choice.level1 = text;
        return choice;
    }
    if (!SplitOnce(rest, choice.level2, choice.level3))
        choice.level2 = rest;
    return choice;
}

QStringList Level1Items(const ModelChoiceList& list)
{
    QStringList items;
    QString previous;
    for (const ModelChoice& entry : list)
        AddUnlessRepeated(items, previous, entry.level1);
    return items;
}

QStringList Level2Items(const ModelChoiceList& list, const QString& level1)
{
    QStringList items;
    QString previous;
    for (const ModelChoice& entry : list) {
        if (entry.level1 == level1 && !entry.level2.isEmpty())
            AddUnlessRepeated(items, previous, entry.level2);
    }
    return items;
}

QStringList Level3Items(const ModelChoiceList& list, const QString& level1, const QString& level2)
{
    QStringList items;
    for (const ModelChoice& entry : list) {
        if (entry.level1 == level1 && entry.level2 == level2 && !entry.level3.isEmpty())
            items.append(entry.level3);
    }
    return items;
}

int FindModel(const ModelChoiceList& list, const QString& level1, const QString& level2, const QString& level3)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ModelChoice& entry = list[i];
        if (entry.level1 == level1 && entry.level2 == level2 && entry.level3 == level3)
            return static_cast<int>(i);
    }
    return list.isEmpty() ? -1 : 0;
}

int FindModelOfType(const ModelChoiceList& list, std::uint16_t typeIndex)
{
    int found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].typeIndex == typeIndex)
            found = static_cast<int>(i);
    }
    return found;
}
