#pragma once
// The skin art blob written by tools/skingen at build time: the records of
// kSkinCatalogue in id order, back to back, each int32 LE width, int32 LE
// height, then the pixels as little-endian 32-bit words.
#include <cstddef>

extern const unsigned char kSkinArt[];
extern const std::size_t kSkinArtSize;
