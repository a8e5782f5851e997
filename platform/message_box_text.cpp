// Wrapping for the dialog's text. Widths are summed a character at a time, as
// the X core fonts measure them, so a long text costs one pass.

#include "platform/message_box_text.h"

#include <algorithm>

namespace {

constexpr const char *kEllipsis = "...";

struct Wrap {
    int max_width;
    size_t max_lines;
    const std::function<int(char)> &char_width;
    std::vector<std::string> lines;

    // At least 1: bytes that a font draws 0 wide (tabs, control bytes) still
    // fill a line, so no line holds more bytes than the box is wide.
    int byte_width(char c) const { return std::max(1, char_width(c)); }

    int width(const std::string &s) const {
        int w = 0;
        for (char c : s)
            w += byte_width(c);
        return w;
    }

    // One line of the text as typed (no newline in it).
    void add_paragraph(const std::string &p) {
        size_t start = 0;
        do {
            size_t end = start, space = std::string::npos;
            int w = 0;
            while (end < p.size() && w + byte_width(p[end]) <= max_width) {
                w += byte_width(p[end]);
                if (p[end] == ' ' && end > start)
                    space = end;
                ++end;
            }
            if (end == p.size()) {
                lines.push_back(p.substr(start));
                return;
            }
            // p[end] does not fit: break at it if it is a space, else at the
            // last space, else inside the word (never an empty piece).
            size_t cut = p[end] == ' ' ? end : space != std::string::npos ? space : end;
            if (cut == start && p[cut] != ' ')
                cut = start + 1;
            lines.push_back(p.substr(start, cut - start));
            start = p[cut] == ' ' ? cut + 1 : cut;
        } while (start < p.size() && lines.size() <= max_lines);
    }

    void end_with_ellipsis(std::string &line) const {
        int room = max_width - width(kEllipsis);
        while (!line.empty() && (width(line) > room || line.back() == ' '))
            line.pop_back();
        line += kEllipsis;
    }
};

} // namespace

std::vector<std::string> message_box_lines(const char *text, int max_width, int max_lines,
                                           const std::function<int(char)> &char_width) {
    Wrap wrap{std::max(max_width, 1), size_t(std::max(max_lines, 1)), char_width, {}};
    std::string paragraph;
    for (const char *p = text ? text : "";; ++p) {
        if (*p == '\n' || *p == '\0') {
            wrap.add_paragraph(paragraph);
            paragraph.clear();
            if (*p == '\0' || wrap.lines.size() > wrap.max_lines)
                break;
        } else if (*p != '\r') {
            paragraph += *p;
        }
    }
    if (wrap.lines.size() > wrap.max_lines) {
        wrap.lines.resize(wrap.max_lines);
        wrap.end_with_ellipsis(wrap.lines.back());
    }
    return wrap.lines;
}
