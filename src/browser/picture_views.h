// The thumbnail page and the single-picture view.
#pragma once

extern int cellWidth;
extern int cellHeight;
extern int pictureLoaded;
extern int pictureEntry;

void LoadEntryPicture(int entry);
void DrawThumbnailPage();
void DrawPictureView();
void OpenPicture(int entry);
void ClosePicture();
