#include "win32app/Skin.h"

#include <cmath>
#include <cstring>

namespace zel {

TSkinImage TSkinImage::Cut(int x, int y, int width, int height) const {
    TSkinImage out;
    if (Null() || x < 0 || y < 0 || x + width > Width || y + height > Height || width <= 0 || height <= 0) return out;
    out.Width = width;
    out.Height = height;
    out.Pixels.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        std::memcpy(&out.Pixels[static_cast<size_t>(row) * width], &Pixels[static_cast<size_t>(y + row) * Width + x],
                    static_cast<size_t>(width) * sizeof(uint32_t));
    return out;
}

TSkinImage LoadSkin(const wchar_t* name) {
    TSkinImage image;
    HRSRC found = FindResourceW(nullptr, name, reinterpret_cast<LPCWSTR>(RT_RCDATA));
    if (!found) return image;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    const DWORD size = SizeofResource(nullptr, found);
    if (!bytes || size < 12 || std::memcmp(bytes, "ZRGB", 4) != 0) return image;
    uint32_t w = 0, h = 0;
    std::memcpy(&w, bytes + 4, 4);
    std::memcpy(&h, bytes + 8, 4);
    if (w == 0 || h == 0 || w > 4096 || h > 4096 || size < 12 + static_cast<uint64_t>(w) * h * 4) return image;
    image.Width = static_cast<int>(w);
    image.Height = static_cast<int>(h);
    image.Pixels.resize(static_cast<size_t>(w) * h);
    std::memcpy(image.Pixels.data(), bytes + 12, image.Pixels.size() * sizeof(uint32_t));
    return image;
}

HBITMAP MakeBitmap(const TSkinImage& image) {
    if (image.Null()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * sizeof(uint32_t));
    return bitmap;
}

TSkinImage Scaled(const TSkinImage& image, double scale) {
    if (image.Null() || std::fabs(scale - 1.0) < 0.01) return image;
    TSkinImage out;
    out.Width = static_cast<int>(std::lround(image.Width * scale));
    out.Height = static_cast<int>(std::lround(image.Height * scale));
    out.Pixels.resize(static_cast<size_t>(out.Width) * out.Height);
    for (int y = 0; y < out.Height; ++y) {
        const int sy = std::min(image.Height - 1, static_cast<int>(y / scale));
        for (int x = 0; x < out.Width; ++x) {
            const int sx = std::min(image.Width - 1, static_cast<int>(x / scale));
            out.Pixels[static_cast<size_t>(y) * out.Width + x] = image.Pixels[static_cast<size_t>(sy) * image.Width + sx];
        }
    }
    return out;
}

HRGN BuildWindowRegion(const TSkinImage& background) {
    if (background.Null()) return nullptr;
    const uint32_t key = background.Key();
    // Runs of one row never overlap and rows come top to bottom: the
    // rectangles are already in the banded order a region is made of.
    std::vector<RECT> rects;
    for (int y = 0; y < background.Height; ++y) {
        int x = 0;
        while (x < background.Width) {
            const bool opaque = background.At(x, y) != key;
            int end = x;
            while (end + 1 < background.Width && (background.At(end + 1, y) != key) == opaque) ++end;
            if (opaque) rects.push_back(RECT{x, y, end + 1, y + 1});
            x = end + 1;
        }
    }
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, background.Width, background.Height};
    std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace zel
