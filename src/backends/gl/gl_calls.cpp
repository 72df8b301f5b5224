// The OpenGL side of the seam, shared by every backend that has a real GL context.
#include "backends/gl/gl_backend.h"
#include "platform/platform.h"

namespace platform {

void GlSetupProjection(int viewportWidth, int viewportHeight, double fovY, double aspect,
                       double zNear, double zFar) {
  glViewport(0, 0, viewportWidth, viewportHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fovY, aspect, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void GlInitState() {
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(1.0f, 0.0f, 0.9f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  // Blending stays disabled; the function is set for whatever draws textured quads later.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void GlClearBuffers() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
}

void GlPresent(const std::uint8_t* rgba, int width, int height, int zoom) {
  glDisable(GL_TEXTURE_2D);
  // Other zooms keep the previous pixel zoom; the program only uses 1 and 2.
  if (zoom >= 1 && zoom <= 5) {
    glPixelZoom(static_cast<float>(zoom), static_cast<float>(zoom));
  }
  // The raster position is never set: the blit starts at the window's lower-left corner.
  glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  gl::SwapMainWindowBuffers();
  glEnable(GL_TEXTURE_2D);
}

void GlUploadTextures(const TextureImage* images, int imageCount, unsigned* names, int nameCount) {
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glGenTextures(nameCount, names);
  // The rows are unpadded RGB: at the default alignment of 4 a width whose rows are not a
  // multiple of 4 bytes long would have OpenGL read past the end of the block.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (int i = 0; i < imageCount && i < nameCount; ++i) {
    glBindTexture(GL_TEXTURE_2D, names[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // Internal format 3 (three components).
    glTexImage2D(GL_TEXTURE_2D, 0, 3, images[i].width, images[i].height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, images[i].pixels);
  }
}

}  // namespace platform
