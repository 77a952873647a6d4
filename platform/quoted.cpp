#include "platform/quoted.h"

#include <cstdio>

namespace platform {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` whose
// character is printable, or 0.
std::size_t PrintableSequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7f)
        return 1;
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fu;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0u) != 0x80u)
            return 0;
        code = (code << 6) | (byte(i) & 0x3fu);
    }
    const bool shortest = code >= (length == 2 ? 0x80u : length == 3 ? 0x800u : 0x10000u);
    const bool control = code < 0xa0u; // the C1 controls, U+0080 to U+009F
    const bool surrogate = code >= 0xd800u && code <= 0xdfffu;
    return shortest && !control && !surrogate && code <= 0x10ffffu ? length : 0;
}

// Escapes `text` onto `quoted`; a `quote` of 0 stands for none.
void Escape(std::string_view text, char quote, bool backslashes, std::string &quoted)
{
    while (!text.empty()) {
        const char first = text.front();
        if ((quote && first == quote) || (backslashes && first == '\\')) {
            quoted += {'\\', first};
            text.remove_prefix(1);
        } else if (first == '\n' || first == '\t' || first == '\r') {
            quoted += {'\\', first == '\n' ? 'n' : first == '\t' ? 't' : 'r'};
            text.remove_prefix(1);
        } else if (const std::size_t length = PrintableSequence(text)) {
            quoted.append(text.substr(0, length));
            text.remove_prefix(length);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(first));
            quoted += escape;
            text.remove_prefix(1);
        }
    }
}

} // namespace

std::string Quoted(std::string_view text, char quote)
{
    std::string quoted(1, quote);
    Escape(text, quote, true, quoted);
    return quoted + quote;
}

std::string Escaped(std::string_view text, bool backslashes)
{
    std::string escaped;
    Escape(text, 0, backslashes, escaped);
    return escaped;
}

} // namespace platform
