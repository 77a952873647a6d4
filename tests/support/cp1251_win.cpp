#include "support/cp1251.h"

#include <windows.h>

std::optional<QByteArray> InCp1251(const std::string &utf8)
{
    const int length = int(utf8.size());
    std::wstring wide(std::size_t(length), L'\0');
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length,
                                               wide.data(), length);
    if (length > 0 && wideLength == 0)
        return std::nullopt;
    QByteArray output(qsizetype(wideLength), '\0');
    BOOL lost = FALSE; // a character with no form in the code page
    const int written = WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                            output.data(), int(output.size()), nullptr, &lost);
    if (lost || written != wideLength)
        return std::nullopt;
    return output;
}
