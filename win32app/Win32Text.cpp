#include "win32app/Win32Text.h"

#include <commctrl.h>

#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"

namespace zel {

std::wstring WideText(const std::string& cp1252) {
    const std::u16string u = Cp1252ToUtf16(cp1252);
    return std::wstring(u.begin(), u.end());
}

std::string CoreText(const std::wstring& wide) {
    return Utf16ToCp1252(std::u16string(wide.begin(), wide.end()));
}

std::wstring WideFileName(const std::string& fileName) { return NativePath(fileName).native(); }

std::wstring WideUtf8(const std::string& utf8) { return NativePath(utf8).native(); }

std::string FileNameOf(const std::wstring& wide) { return CoreFileName(std::filesystem::path(wide)); }

std::wstring WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void SetToolTip(HWND control, const std::string& hint) {
    static HWND tip = nullptr;
    if (!tip || !IsWindow(tip)) {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(control, GA_ROOT),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 360);
    }
    std::wstring text = WideText(hint);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = nullptr;  // asked for the tool only, not its text
    // Added once, then only its text changes.
    if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) {
        info.lpszText = text.data();
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    } else {
        info.lpszText = text.data();
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

}  // namespace zel
