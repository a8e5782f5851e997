// The test stand-in for the modal dialog: records each box instead of showing it.
#pragma once

#include <string>

struct FakeMessageBox {
    int calls = 0;
    std::string text;
    std::string caption;
    unsigned style = 0;
    int answer = 7; // IDNO
};

extern FakeMessageBox g_fake_box;
