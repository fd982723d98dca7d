#pragma once
// The unit models the main window offers, as the language list "Model"
// names them: up to three levels of text per model, "Level1|Level2|Level3".
// Windowless, so the choice rules can be checked without a window.
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

struct ModelChoice
{
    QString level1;
    QString level2;
    QString level3;
    std::uint16_t typeIndex = 0;
};

using ModelChoiceList = QList<ModelChoice>;

// Splits at the first '|' when it stands at position 1 or later, then the
// rest once more the same way: "A|B|C|D" gives "A", "B", "C|D".
ModelChoice SplitModelText(const QString& text, std::uint16_t typeIndex);

// The items of the three boxes. Levels 1 and 2 leave out a text equal to
// the one added just before, starting from the empty text (so an empty
// database gives no item); level 2 never adds an empty text; level 3 leaves
// out empty texts only.
QStringList Level1Items(const ModelChoiceList& list);
QStringList Level2Items(const ModelChoiceList& list, const QString& level1);
QStringList Level3Items(const ModelChoiceList& list, const QString& level1, const QString& level2);

// The entry whose three texts equal these; the first entry when none does;
// -1 for an empty list.
int FindModel(const ModelChoiceList& list, const QString& level1, const QString& level2, const QString& level3);
// The last entry that carries the unit type, or -1 when none does.
int FindModelOfType(const ModelChoiceList& list, std::uint16_t typeIndex);
