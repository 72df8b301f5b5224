// What the shared OpenGL code needs from the window-system backend it is linked with.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

namespace gl {
// Swaps the front and back buffers of the main window.
void SwapMainWindowBuffers();
}  // namespace gl
