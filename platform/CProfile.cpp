#include "CProfile.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <mutex>

namespace {

std::mutex g_pathLock;
bool g_pathSet = false;

// The native format is an INI file (Korvane/Ombrix.conf) here and the
// registry on Windows. QSettings remembers the user configuration directory
// from its first use; the profile points it at the current one until the
// next Reload.
void PointAtConfigHome(bool force)
{
    std::lock_guard guard(g_pathLock);
    if (g_pathSet && !force)
        return;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    g_pathSet = true;
}

QSettings::Format FormatAtConfigHome()
{
    PointAtConfigHome(false);
    return QSettings::NativeFormat;
}

// One short-lived object per call: every call sees what is on disk.
class Store
{
public:
    Store() : m_settings(FormatAtConfigHome(), QSettings::UserScope, QStringLiteral("Korvane"), QStringLiteral("Ombrix"))
    {
        // The system-wide files are not part of this user's profile.
        m_settings.setFallbacksEnabled(false);
    }
    QSettings* operator->() { return &m_settings; }

private:
    QSettings m_settings;
};

QString Key(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

// A hand-edited value with a comma reads back as a list.
QString ValueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

int CProfile::GetProfileInt(const QString& section, const QString& key, int defaultValue)
{
    Store store;
    const QVariant value = store->value(Key(section, key));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const int number = ValueText(value).trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

bool CProfile::WriteProfileInt(const QString& section, const QString& key, int value)
{
    Store store;
    store->setValue(Key(section, key), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

QString CProfile::GetProfileString(const QString& section, const QString& key, const QString& defaultValue)
{
    Store store;
    const QVariant value = store->value(Key(section, key));
    return value.isValid() ? ValueText(value) : defaultValue;
}

bool CProfile::WriteProfileString(const QString& section, const QString& key, const QString& value)
{
    Store store;
    store->setValue(Key(section, key), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

void CProfile::Reload()
{
    PointAtConfigHome(true);
}
