// The Linux layer: the few things the game needs from the desktop that SDL does
// not give it. Nothing outside platform/ includes an X11 or GLX header.
#pragma once

// Message box styles and answers, with the values the game's call sites use.
enum {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
};
enum {
    IDOK = 1,
    IDYES = 6,
    IDNO = 7,
};

// A modal dialog with the text, the caption as its title and the buttons that
// the style asks for; blocks until one is pressed and returns its answer.
// Without an X display, or when the box cannot be shown or loses its display
// before it is answered, the text goes to standard error and the answer is IDNO
// for a Yes/No question, IDOK otherwise. No loss of the display ends the
// process.
int platform_message_box(const char *text, const char *caption, unsigned style);

// The archive linked into the executable under the name "DATAZIP": its bytes,
// read-only and valid for the whole run, and their count; null when the
// executable carries none (or the name is another).
const unsigned char *platform_find_archive(const char *name, int *size);

// An OpenGL entry point by name, or null.
void *platform_gl_proc_address(const char *name);
