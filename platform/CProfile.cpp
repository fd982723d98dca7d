#include "CProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Writes the value and syncs. The profile holds the remembered passcode:
    // it is made for its owner alone before the first write (a rewrite keeps
    // the mode of the file it replaces), and kept so after each.
    bool Write(const QString& key, const QVariant& value)
    {
        const QByteArray path = QFile::encodeName(m_settings.fileName());
        QDir().mkpath(QFileInfo(m_settings.fileName()).absolutePath());
        const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateMode);
        if (fd >= 0) {
            // Whatever the umask left of it.
            ::fchmod(fd, kPrivateMode);
            ::close(fd);
        }
        KeepFromOthers(path);
        m_settings.setValue(key, value);
        m_settings.sync();
        return KeepFromOthers(path) && m_settings.status() == QSettings::NoError;
    }

private:
    static constexpr mode_t kPrivateMode = S_IRUSR | S_IWUSR;

    // Takes every right from group and others; the owner's stay as they are.
    static bool KeepFromOthers(const QByteArray& path)
    {
        struct stat info {};
        if (::stat(path.constData(), &info) != 0)
            return false;
        return (info.st_mode & (S_IRWXG | S_IRWXO)) == 0 || ::chmod(path.constData(), info.st_mode & S_IRWXU) == 0;
    }

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
    return Store().Write(Key(section, key), value);
}

QString CProfile::GetProfileString(const QString& section, const QString& key, const QString& defaultValue)
{
    Store store;
    const QVariant value = store->value(Key(section, key));
    return value.isValid() ? ValueText(value) : defaultValue;
}

bool CProfile::WriteProfileString(const QString& section, const QString& key, const QString& value)
{
    return Store().Write(Key(section, key), value);
}

void CProfile::Reload()
{
    PointAtConfigHome(true);
}
