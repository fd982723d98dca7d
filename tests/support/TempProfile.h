#pragma once
// A private, empty profile for one test: XDG_CONFIG_HOME points at a
// temporary folder for the object's lifetime, then back where it was.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempProfile
{
public:
    TempProfile();
    ~TempProfile();
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    // The folder that stands in for XDG_CONFIG_HOME.
    QString ConfigHome() const { return m_dir.path(); }
    // The profile file inside it (it exists once something was written).
    QString FilePath() const;

private:
    QTemporaryDir m_dir;
    bool m_hadValue = false;
    QByteArray m_oldValue;
};
