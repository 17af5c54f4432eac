// UTF-8 strings to Qt's and back, for the texts the console's messages build.
#pragma once

#include <QString>
#include <string>

namespace qtext {

inline QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

inline std::string text(const QString& s)
{
    return s.toStdString();
}

}  // namespace qtext
