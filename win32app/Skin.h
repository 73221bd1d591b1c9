#pragma once
// The window's pictures, drawn at build time by the same generator as the
// Linux edition's (app/artwork) and embedded as resources: raw rows of
// 0x00RRGGBB pixels ("ZRGB", width, height, then the pixels).
#include <windows.h>

#include <cstdint>
#include <vector>

namespace zel {

struct TSkinImage {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;  // 0x00RRGGBB, rows from the top
    bool Null() const { return Pixels.empty(); }
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x] & 0xFFFFFF; }
    // The see-through colour: the bottom-left pixel's.
    uint32_t Key() const { return Null() ? 0 : At(0, Height - 1); }
    // Part of the picture, as a picture of its own.
    TSkinImage Cut(int x, int y, int width, int height) const;
};

// The picture of that name (the generator's file name without ".png"); an
// empty one when the program lacks it.
TSkinImage LoadSkin(const wchar_t* name);

// A device-independent bitmap of the picture, to draw with BitBlt.
HBITMAP MakeBitmap(const TSkinImage& image);

// The picture scaled by scale (the screen's DPI over 96), nearest pixel:
// the see-through colour stays exact, so the outline keeps its rule.
TSkinImage Scaled(const TSkinImage& image, double scale);

// The window's outline: every pixel but those of the see-through colour,
// row by row from runs of opaque pixels.
HRGN BuildWindowRegion(const TSkinImage& background);

}  // namespace zel
