#pragma once
// Language files written into a private folder, and the process locale put
// back after each test (loading a file changes it).
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

class LanguageFileFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_savedLocale = std::setlocale(LC_ALL, nullptr);
    }
    void TearDown() override { std::setlocale(LC_ALL, m_savedLocale.c_str()); }

    QString Dir() const { return m_dir.path(); }

    void WriteFile(const QString& name, const QByteArray& content) const
    {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // A valid file around the given elements.
    static QByteArray LanguageFile(const QByteArray& body, const QByteArray& locale = "<locale>en_US.UTF-8</locale>")
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n"
               "<application>Ombrix</application>\n<filetype>language</filetype>\n<language>Test</language>\n"
               + locale + "\n" + body + "\n</root>\n";
    }

    static std::string CurrentLocale() { return std::setlocale(LC_ALL, nullptr); }

private:
    QTemporaryDir m_dir;
    std::string m_savedLocale;
};
