// The Windows edition's collation and normalization: the system's own NLS
// functions for Brazilian Portuguese (what CompareString does, as sort keys)
// and NormalizeString.
#include "commands/SystemText.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zel::systemtext {

namespace {

constexpr const wchar_t* kLocale = L"pt-BR";
// Case ignored, accents counting: the collation of the program's phrases.
constexpr DWORD kSortFlags = LCMAP_SORTKEY | NORM_IGNORECASE;

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::string CollationSortKey(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    int needed = LCMapStringEx(kLocale, kSortFlags, w, length, nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<BYTE> key(static_cast<size_t>(needed));
    needed = LCMapStringEx(kLocale, kSortFlags, w, length, reinterpret_cast<LPWSTR>(key.data()), needed, nullptr,
                           nullptr, 0);
    // The key ends in a 0 byte that carries no order.
    while (needed > 0 && key[static_cast<size_t>(needed) - 1] == 0) --needed;
    return std::string(reinterpret_cast<const char*>(key.data()), static_cast<size_t>(std::max(needed, 0)));
}

std::string ComposedUtf8(std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty() || IsNormalizedString(NormalizationC, wide.data(), static_cast<int>(wide.size())))
        return std::string(utf8);
    int guess = NormalizeString(NormalizationC, wide.data(), static_cast<int>(wide.size()), nullptr, 0);
    // The estimate may be short; the call says how much it wants.
    for (int attempt = 0; attempt < 4 && guess > 0; ++attempt) {
        std::wstring out(static_cast<size_t>(guess), L'\0');
        const int n = NormalizeString(NormalizationC, wide.data(), static_cast<int>(wide.size()), out.data(), guess);
        if (n > 0) return WideToUtf8(std::wstring_view(out.data(), static_cast<size_t>(n)));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        guess = -n;
    }
    return std::string(utf8);
}

}  // namespace zel::systemtext
