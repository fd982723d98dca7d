#pragma once
// Qt's own texts (file dialogs, standard buttons, the overwrite prompt) in
// the language of the loaded language file: Japanese from Qt's translation
// catalogues when the file's locale is Japanese, Qt's English otherwise.
#include <QString>

class CQtTranslations
{
public:
    // locale: the language file's locale text ("ja_JP.UTF-8", "Japanese_Japan.932").
    // True when Japanese catalogues are now installed.
    static bool Apply(const QString& locale);
};
