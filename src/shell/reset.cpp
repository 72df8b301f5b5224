// Resetting the program-wide state of every subsystem.
#include "shell/reset.h"

#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "browser/thumbnail_page.h"
#include "display/window.h"
#include "shell/main_loop.h"

void ResetProgram() {
  ForgetPresentedPass();
  ResetBrowserState();
  StopPageWork();
  ResetPictureViews();
}
