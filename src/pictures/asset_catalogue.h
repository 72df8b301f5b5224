// The game's picture catalogue: which BMP file goes into which texture slot, and the upload
// of the seven cube pictures as GL textures.
#pragma once

// Reads every catalogue entry into its slot, group by group.
void LoadAssetCatalogue();

// Uploads slots 1200 to 1206 as textures of the current GL context; always 1.
int UploadCubeTextures();
