// Linked into test programs in place of the real dialog (a link-time seam):
// the box is recorded, the text also goes to standard error for death tests.

#include "support/fake_message_box.h"

#include "platform/platform.h"

#include <cstdio>

FakeMessageBox g_fake_box;

int platform_message_box(const char *text, const char *caption, unsigned style) {
    g_fake_box.calls++;
    g_fake_box.text = text ? text : "";
    g_fake_box.caption = caption ? caption : "";
    g_fake_box.style = style;
    std::fprintf(stderr, "[%s] %s\n", g_fake_box.caption.c_str(), g_fake_box.text.c_str());
    if ((style & 0x0f) == MB_YESNO)
        return g_fake_box.answer;
    return IDOK;
}
