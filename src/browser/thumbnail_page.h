// The thumbnail page, drawn cell by cell as its pictures arrive from the workers, and the next
// page decoded ahead while the program rests. Main thread only.
#pragma once

#include "browser/browser.h"
#include "browser/thumbnail_grid.h"
#include "display/display.h"
#include "input/input.h"
#include "pictures/texture_loader.h"

// ---- Commands ----------------------------------------------------------------------------------

// The commands return their pause and whether they took the click, for the main loop to do.
// A latched right click on a thumbnail opens its picture; on a cell not drawn yet, see
// ClickPendingCell.
After ClickThumbnail(Browser& browser, Display& display, Pictures& pictures,
                     const MouseLatches& latches);
// T: from the list or a picture to the page that starts with the selection, and back.
After ToggleThumbnailView(Browser& browser, DisplayState& d);
// The "THUMBNAILS" button: between the list and the page, reading the directory again.
After ThumbnailsButton(Browser& browser, DisplayState& d);
After NextThumbnailPage(Browser& browser, DisplayState& d);
After PreviousThumbnailPage(Browser& browser, DisplayState& d);

// ---- The page ----------------------------------------------------------------------------------

// Draws the requested page (thumbRedraw), or the rest of the page in progress, whole: waits
// for every picture.
void DrawThumbnailPage(Browser& browser, Display& display, Pictures& pictures);

// The main loop's step: begins the requested page and draws, in page order, the cells whose
// pictures have arrived (cell k once cells 1 to k are there); never waits for a decode. The
// page it completes is the page DrawThumbnailPage draws. A page left before it completed (the
// list or a picture shown, the canvas replaced) is dropped: its pictures not yet started are
// dropped and the decodes under way abandoned.
void StepThumbnailPage(Browser& browser, Display& display, Pictures& pictures);

// A page is begun and not every cell of it drawn.
bool ThumbnailPageInProgress(const Browser& browser);
// The page on the canvas is drawn whole, and nothing was begun since.
bool ThumbnailPageComplete(const Browser& browser);
// StepThumbnailPage has work now: a page requested, a cell whose picture arrived, a page left.
bool ThumbnailPageStepReady(const Browser& browser, const Display& display);
// The entry whose cell of the page in progress, not drawn yet, has canvas point (x, y) within
// its frame; 0 for none, and 0 once the page is no longer the view.
int ThumbnailCellPendingAt(const Browser& browser, int x, int y);
// A latched right click on a cell not drawn yet acts as the same click on the complete page, at
// the same step of the pass: on the cell's thumbnail (its size known from the file's header or
// its finished decode) the picture is opened at once, without waiting for the cells before it;
// anywhere else in the cell nothing happens here and no picture is loaded, so that the click is
// left to the overlay step as on the complete page.
After ClickPendingCell(Browser& browser, Display& display, Pictures& pictures,
                       const MouseLatches& latches);

// Before the pause of a command that asks for a page (T, a page turn): begins decoding the
// pictures of that page, so that the pause and the decodes overlap. The page takes them over as
// it begins; nothing is drawn or changed before then. Returns at once.
void BeginPageDecodes(Browser& browser, const DisplayState& d, Pictures& pictures);

// While the program rests on a complete page: decodes the pictures of the next page into the
// kept thumbnails on background workers, once per page and only into free room of the cache.
// Returns at once.
void DecodeNextPageAhead(Browser& browser, const DisplayState& d, Pictures& pictures);
// Stops the decoding ahead (input arrived): pictures not yet started are dropped and the
// decodes under way abandoned.
void StopDecodingAhead(Browser& browser);
// Puts the finished decodes of the decoding ahead (and any a page left had finished) into the
// kept thumbnails and frees the workers that are done. Every pass; true while work remains.
bool CollectPageWork(Browser& browser);
// Decodes of pages left or of the decoding ahead are under way.
bool PageWorkPending(const Browser& browser);
// Drops every picture not yet started and abandons the decodes under way, without waiting for
// them: their work stays until its workers end.
void AbandonPageWork(Browser& browser);
// A decode abandoned or still running has not ended yet.
bool PageDecodesUnderWay(Browser& browser);
// AbandonPageWork, then waits for the workers to end (end of the program, tests).
void StopPageWork(Browser& browser);
