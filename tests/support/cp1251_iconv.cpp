#include "support/cp1251.h"

#include <iconv.h>

std::optional<QByteArray> InCp1251(const std::string &utf8)
{
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    if (converter == iconv_t(-1))
        return std::nullopt;
    std::string input = utf8;
    QByteArray output(qsizetype(input.size()), '\0');
    char *in = input.data();
    char *out = output.data();
    size_t inLeft = input.size();
    size_t outLeft = size_t(output.size());
    const bool encoded = iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1);
    iconv_close(converter);
    if (!encoded || inLeft != 0)
        return std::nullopt;
    output.chop(qsizetype(outLeft));
    return output;
}
