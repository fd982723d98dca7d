#pragma once
// The one seam through which the program shows message boxes and file
// dialogs, so that tests can answer them without a person.
#include "WinTypes.h"

#include <QString>

class QWidget;

struct PromptRequest
{
    enum class Kind { MessageBox, OpenFile, SaveFile };
    Kind kind = Kind::MessageBox;
    QString text;       // message text, or the file dialog's initial file name
    QString caption;
    UINT style = MB_OK; // message box style
    QString filter;     // file dialogs: "Name (*.ext)|*.ext|...|" as the language file gives it
    QString defaultExtension;
    QString directory;  // file dialogs: the folder they start in
};

class IPromptHandler
{
public:
    virtual ~IPromptHandler() = default;
    // The answer to a message box (IDOK, IDYES, ...).
    virtual int OnMessageBox(const PromptRequest& request) = 0;
    // The chosen path, or empty for Cancel.
    virtual QString OnFileDialog(const PromptRequest& request) = 0;
};

// File dialogs start in the folder last used for the same default extension
// (kept in the profile), else in the user's home folder.
class CUiPrompts
{
public:
    static int MessageBox(QWidget* parent, const QString& text, const QString& caption = {}, UINT style = MB_OK);
    static QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                   const QString& initialName = {});
    static QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& defaultExtension,
                                   const QString& initialName = {});
    // nullptr restores the real dialogs. The handler is not owned.
    static void SetHandler(IPromptHandler* handler);
    // "Text (*.a)|*.a|All (*.*)|*.*||" to Qt's "Text (*.a);;All (*.*)".
    static QString ToQtFilter(const QString& filter);
};
