#pragma once

#include <string>
#include <string_view>

namespace platform {

// `text` between `quote`s, safe to echo to a terminal: printable UTF-8 stays
// as it is; control characters, the quote, backslashes and bytes that are not
// UTF-8 are escaped C-style (\n, \", \\, \xff).
std::string Quoted(std::string_view text, char quote = '"');

// `text` escaped as Quoted escapes it, without quotes: for a name that heads a
// message, say. A line of someone else's keeps its backslashes (Qt's Windows
// paths), only its controls escaped.
std::string Escaped(std::string_view text, bool backslashes = true);

} // namespace platform
