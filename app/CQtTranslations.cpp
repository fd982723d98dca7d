#include "CQtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

// Owned by the application object; the pointer clears when it goes.
QPointer<QTranslator> g_installed;

bool IsJapaneseLocale(const QString& locale)
{
    return locale.startsWith(QLatin1String("ja"), Qt::CaseInsensitive);
}

} // namespace

bool CQtTranslations::Apply(const QString& locale)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return false;
    delete g_installed.data(); // removes itself from the application
    if (!IsJapaneseLocale(locale))
        return false;
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    g_installed = translator;
    return true;
}
