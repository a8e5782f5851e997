// The dialog's text wrapping, measured with every character one unit wide.

#include "platform/message_box_text.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines wrap(const char *text, int width, int max_lines = 100) {
    return message_box_lines(text, width, max_lines, [](char) { return 1; });
}

TEST(MessageBoxText, WrapsAtSpacesAndKeepsNewlines) {
    struct Case {
        const char *text;
        int width;
        Lines lines;
    } cases[] = {
        {"Fullscreen?", 20, {"Fullscreen?"}},
        {"a\n\nb\r\n", 20, {"a", "", "b", ""}},
        {"the quick brown fox", 10, {"the quick", "brown fox"}},
        {"the quick brown fox", 9, {"the quick", "brown fox"}},
        // A word that alone is too wide is broken; a leading space is no break.
        {"abcdefghijkl", 5, {"abcde", "fghij", "kl"}},
        {"ab abcdefghijkl", 5, {"ab", "abcde", "fghij", "kl"}},
        {" abcdefgh", 4, {" abc", "defg", "h"}},
        // Bad input: no text, no room.
        {nullptr, 5, {""}},
        {"", 5, {""}},
        {"ab", 0, {"a", "b"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wrap(c.text, c.width), c.lines)
            << (c.text ? c.text : "(null)") << " in " << c.width;
    // Bytes a font draws 0 wide (tabs) still take a unit each.
    EXPECT_EQ(message_box_lines("\t\t\t\t\t", 2, 100, [](char) { return 0; }),
              (Lines{"\t\t", "\t\t", "\t"}));
}

TEST(MessageBoxText, TooManyLinesEndWithAnEllipsis) {
    EXPECT_EQ(wrap("1\n2\n3", 10, 3), (Lines{"1", "2", "3"}));
    EXPECT_EQ(wrap("1\n2\n3\n4", 10, 2), (Lines{"1", "2..."}));
    // The last line gives way to the ellipsis, and drops the space before it.
    EXPECT_EQ(wrap("abcdefgh\nmore", 8, 1), (Lines{"abcde..."}));
    EXPECT_EQ(wrap("abcd efgh ijkl", 8, 1), (Lines{"abcd..."}));
    // A word broken over the lines that fit, then cut short.
    std::string word(5000, 'x');
    EXPECT_EQ(wrap(word.c_str(), 10, 2), (Lines{"xxxxxxxxxx", "xxxxxxx..."}));
}

} // namespace
