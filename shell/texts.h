#pragma once

namespace shell {

// The texts of the two text boxes, UTF-8, each line ending in CR LF.
extern const char *const DescriptionText; // what the exercise is about
extern const char *const AphorismText;    // kept in the hidden box

} // namespace shell
