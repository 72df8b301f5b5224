// The list view, browser clicks on rows and thumbnails, and navigation.
#pragma once

void DrawListView();
void HandleBrowserClick();
void ToggleThumbnailView();
void ThumbnailsButton();
void NextThumbnailPage();
void PreviousThumbnailPage();
void CentreList();
void MoveListToCursor();
void ReturnToList();
void ScrollListBy(int step);

// Thumbnail cells on a page of the current canvas and cell size.
int CellsPerPage();
