#pragma once

#include <QByteArray>

#include <optional>
#include <string>

// The text in the Cyrillic Windows code page, 1251; nothing when it has no such form.
std::optional<QByteArray> InCp1251(const std::string &utf8);
