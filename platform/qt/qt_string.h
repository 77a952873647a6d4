#pragma once

#include <QString>

#include <string>

namespace platform::qt {

// The descriptions hold UTF-8.
inline QString ToQString(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace platform::qt
