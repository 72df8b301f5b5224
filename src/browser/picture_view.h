// The single-picture view: the picture of one entry, loaded into the PictureBuffer and drawn
// around the cursor at the chosen sample step, with its name and size on the overlay.
#pragma once

#include "browser/browser.h"
#include "display/display.h"
#include "input/input.h"
#include "pictures/texture_loader.h"

// Decodes entry k of the browsed directory into the PictureBuffer; sets pictureLoaded.
void LoadEntryPicture(Browser& browser, Pictures& pictures, int entry);
// Draws the decoded picture around the cursor at the chosen sample step, or fitted to the
// canvas (reduced once per load and canvas size).
void DrawPictureView(Browser& browser, Display& display, const Pictures& pictures);
// Switches to the picture view of entry k, whose picture the last load decoded: on the Linux
// program fitted to the canvas when its samples at the current step would not fit.
void ShowLoadedPicture(Browser& browser, DisplayState& d, const PictureInfo& pictureInfo,
                       int entry);
// Whether a picture's samples every step source pixels, 2 x 2 canvas pixels each, fit the canvas.
bool PictureFitsAtStep(int width, int height, float step, int canvasWidth, int canvasHeight);
// The Linux program's next and previous picture: shows the first entry from `from` on, one
// after another in direction (+1 or -1), that is a picture and decodes, and makes its page the
// one T and a click return to. With none the picture shown stays.
After StepThroughPictures(Browser& browser, DisplayState& d, Pictures& pictures, int from,
                          int direction);
// Between the picture fitted to the canvas and its samples at the step of keys 1 to 6.
void ToggleFittedPicture(PictureViews& views);
// Begins decoding entry k for the picture view, on a thread of its own, and pauses as opening
// always has; the click is left to whatever else it may mean. The page stays on screen, and
// every pass answers its keys, until the picture has arrived (CollectOpenedPicture).
After OpenPicture(Browser& browser, DisplayState& d, Pictures& pictures, int entry);
// Takes the picture being opened once its decode has ended: into the PictureBuffer and the
// picture view when it decoded (the thumbnails stay when it did not), as a load leaves them. An
// opening whose page is no longer shown (T, a page turn, another directory) is abandoned
// instead. Called at the start of every pass.
void CollectOpenedPicture(Browser& browser, DisplayState& d, Pictures& pictures);
// The Linux program's animated GIF and WebP pictures: once the picture view shows one, its next
// frame is decoded on a thread of its own while the frame before shows, and taken by the pass
// at the frame's time (a new load, so the view draws it). Leaving the picture, or loading
// another, stops it. Called at the start of every pass, after CollectOpenedPicture.
void CollectAnimationFrame(Browser& browser, Pictures& pictures);
// How long the main loop may rest before the animation's next frame is due: restMs when no
// frame waits.
int AnimationRestMs(const Browser& browser, int restMs);
// A picture is being opened: its decode has not been taken yet.
bool PictureOpeningPending(const Browser& browser);
// Abandons the picture being opened (at the program's end).
void AbandonPictureOpening(Browser& browser);
// A thread of an opening, abandoned or not, still decodes.
bool PictureOpeningsUnderWay(const Browser& browser);
// Back from the picture view to the thumbnail page.
After ClosePicture(Browser& browser);

// Canvas position of the picture view's bottom-left corner; valid is false when the position
// cannot be taken (a step that is not a positive number, or a position beyond any canvas).
struct PictureOrigin {
  bool valid;
  int x;
  int y;
};
PictureOrigin PictureViewOrigin(int width, int height, float step, PlacementMode placementMode,
                                int cursorX, int cursorY, int canvasWidth, int canvasHeight);

// The overlay's lines of the picture view: the entry's name and the picture's size.
void DrawPictureLines(const Browser& browser, Display& display, const PictureInfo& pictureInfo);
