// The dialog's text as lines that fit its box. Kept apart from the Xlib code so
// that the wrapping is tested without a display.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Breaks `text` into lines no wider than `max_width`, as `char_width` measures
// them with every byte at least 1 wide: at the text's own newlines, else at the
// last space that still fits, and inside a word only when the word alone is too
// wide. When that gives more than `max_lines` lines, the first `max_lines` are
// kept and the last of them ends with "...".
std::vector<std::string> message_box_lines(const char *text, int max_width, int max_lines,
                                           const std::function<int(char)> &char_width);
