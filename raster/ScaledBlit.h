// Resampling blits: a source window drawn into a destination window of another size.
#pragma once

#include "Blit.h"

// Replaces the destination window of dest (clipped to dest) with the source window of src (all of it when
// srcRect is null) resampled to the window's size. Each destination pixel is the area-weighted mean of the source
// pixels its footprint covers (a box filter, exact for any ratio up or down), taken on premultiplied alpha so
// that transparent pixels lend no colour to the edges beside them. False when nothing was drawn.
bool ScaledBlit(RasterBitmap* dest, const RasterRect& destRect, RasterBitmap* src, const RasterRect* srcRect);
