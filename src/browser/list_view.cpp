// Placeholder until the list view lands.
#include "browser/list_view.h"

void DrawListView() {}
void HandleBrowserClick() {}
void ToggleThumbnailView() {}
void ThumbnailsButton() {}
void NextThumbnailPage() {}
void PreviousThumbnailPage() {}
void CentreList() {}
void MoveListToCursor() {}
void ReturnToList() {}
void ScrollListBy(int) {}
int CellsPerPage() { return 0; }
