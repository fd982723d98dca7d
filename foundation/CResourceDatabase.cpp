#include "CResourceDatabase.h"

#include "CPrivateException.h"
#include "DialogHelpers.h"
#include "platform/ControlIds.h"
#include "platform/MessageFormat.h"

#include <QWidget>

#include <clocale>

namespace {

// Language files written for Windows name their locale the Windows way; the
// C library here knows the POSIX names.
QByteArray PosixLocaleName(const QString& locale)
{
    const QString language = locale.section(u'.', 0, 0).section(u'_', 0, 0).toLower();
    if (language == u"japanese")
        return "ja_JP.UTF-8";
    if (language == u"english")
        return "en_US.UTF-8";
    return locale.toLocal8Bit();
}

} // namespace

QString CResourceDatabase::GetGuiText(int dialogId, int controlId) const
{
    return SelectText(QStringLiteral("/root/gui[@name='") + QString::number(dialogId) + QStringLiteral("']/text[@name='") + QString::number(controlId) + QStringLiteral("']"));
}

QString CResourceDatabase::GetText(const QString& section, const QString& key) const
{
    return SelectText(QStringLiteral("/root/") + section + QStringLiteral("/text[@name='") + key + QStringLiteral("']"));
}

QString CResourceDatabase::GetListText(const QString& listName, int index) const
{
    return SelectText(QStringLiteral("/root/list[@name='") + listName + QStringLiteral("']/text[@name='") + QString::number(index) + QStringLiteral("']"));
}

QString CResourceDatabase::GetMessageText(const QString& key) const
{
    return SelectText(QStringLiteral("/root/message/text[@name='") + key + QStringLiteral("']"));
}

QString CResourceDatabase::GetLanguage() const
{
    return SelectText(QStringLiteral("/root/language"));
}

QString CResourceDatabase::SelectText(const QString& xpath) const
{
    try {
        return m_xml.GetNodeText(xpath);
    } catch (const CException&) {
        return {};
    }
}

void CResourceDatabase::CreateEmpty()
{
    m_xml.Create(QStringLiteral("root"));
}

void CResourceDatabase::LoadLanguageFile(const QString& fileName)
{
    LoadLanguageFileFrom(GetModuleDirectory(), fileName);
}

void CResourceDatabase::LoadLanguageFileFrom(const QString& directory, const QString& fileName)
{
    try {
        m_xml.Load(directory + u'/' + fileName);
        // The first failing test ends the tests; the loaded file stays current.
        const bool valid = SelectText(QStringLiteral("/root/application")) == u"Ombrix"
                           && SelectText(QStringLiteral("/root/filetype")) == u"language"
                           && !SelectText(QStringLiteral("/root/language")).isEmpty();
        if (!valid)
            throw CPrivateException(QStringLiteral("Illegal format"));
        // An empty or missing locale gives the user's default locale. One
        // this system lacks leaves the desktop's, but numbers are read and
        // shown with a decimal point whatever the desktop uses.
        if (std::setlocale(LC_ALL, PosixLocaleName(SelectText(QStringLiteral("/root/locale"))).constData()) == nullptr)
            std::setlocale(LC_NUMERIC, "C");
    } catch (const CException& e) {
        char16_t inner[1024] = {};
        e.GetErrorMessage(inner, 1024);
        throw CPrivateException(FormatMessageTemplate(QStringLiteral("Can't read resource file \"%1!s!\".%n%2!s!"),
                                                      {FormatArg(fileName), FormatArg(QString::fromUtf16(inner))}));
    }
}

void CResourceDatabase::ApplyDialogTexts(int dialogId, QWidget* dialog) const
{
    if (dialog == nullptr)
        return;
    const QString caption = GetGuiText(dialogId, 0);
    if (!caption.isEmpty())
        SetWindowText(dialog, caption);
    // An empty or missing entry keeps what the dialog's template wrote.
    for (QWidget* control : DialogControls(dialog)) {
        const QString text = GetGuiText(dialogId, GetControlId(control));
        if (!text.isEmpty())
            SetWindowText(control, text);
    }
}
