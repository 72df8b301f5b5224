// Placeholder until the picture views land.
#include "browser/picture_views.h"

#include "browser/file_list.h"

int cellWidth = 140;
int cellHeight = 140;
int pictureLoaded = 0;
int pictureEntry = 0;

void LoadEntryPicture(int) { pictureLoaded = 0; }
void DrawThumbnailPage() { browserMode.thumbRedraw = 0; }
void DrawPictureView() {}
void OpenPicture(int) {}
void ClosePicture() {}
