#pragma once
// Texts compared as std::string, so that a failed expectation shows them as text.
#include <QString>

#include <string>

inline std::string Str(const QString& text)
{
    return text.toStdString();
}
