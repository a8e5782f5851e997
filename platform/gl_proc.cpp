// OpenGL extension entry points, looked up through GLX.

#include "platform/platform.h"

#include <GL/glx.h>

void *platform_gl_proc_address(const char *name) {
    if (!name)
        return nullptr;
    return reinterpret_cast<void *>(glXGetProcAddress(reinterpret_cast<const GLubyte *>(name)));
}
