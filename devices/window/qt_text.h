#pragma once

#include <QString>

#include <string_view>

// A text of the model code (UTF-8) as the controls show it.
inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
