#pragma once
// The language database: texts by dialog and control id, by section and key,
// by list and index, messages by key. Look-ups never throw; a missing text
// is an empty string.
#include "CXmlReaderWriter.h"

#include <QString>

class QWidget;

class CResourceDatabase
{
public:
    virtual ~CResourceDatabase() = default;

    QString GetGuiText(int dialogId, int controlId) const;
    QString GetText(const QString& section, const QString& key) const;
    QString GetListText(const QString& listName, int index) const;
    QString GetMessageText(const QString& key) const;
    QString GetLanguage() const;
    QString SelectText(const QString& xpath) const;

    void CreateEmpty();
    // Loads fileName from the program's directory and checks it; throws
    // CPrivateException ("Can't read resource file ...") on any failure.
    void LoadLanguageFile(const QString& fileName);
    // Same, from a directory of the caller's (tests).
    void LoadLanguageFileFrom(const QString& directory, const QString& fileName);
    // Caption (control 0) and the texts of the dialog's controls by id;
    // an empty entry keeps the text the dialog already has.
    void ApplyDialogTexts(int dialogId, QWidget* dialog) const;

private:
    CXmlReaderWriter m_xml;
};
