// zel_hook_probe FOLDER VK OUT.txt: the program's side of the hook library,
// for the tests. Loads FOLDER\zeldll.dll through the program's own client,
// opens the key hook for a window of its own with the activation key VK, and
// writes to OUT.txt what reaches that window ("down 0x4B", "up 0x4B", with
// " repeat" for a press of a key already down), and what the indicator does.
// Ends, closing the hook, when OUT.txt.stop appears. A failure to open the
// hook is written as "error: MESSAGE" and ends the probe with status 1.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "recognition/hook/ActivationMessage.h"
#include "recognition/hook/HookLibrary.h"

namespace {

std::wstring gOut;
zel::THookLibrary gLibrary;

void Line(const std::string& utf8) {
    if (FILE* f = _wfopen(gOut.c_str(), L"ab")) {
        std::fprintf(f, "%s\n", utf8.c_str());
        std::fclose(f);
    }
}

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

// Whether the indicator's window is on the screen, and where.
std::string IndicatorState() {
    HWND w = FindWindowW(L"ZelIndicador", nullptr);
    if (!w) return "no window";
    if (!IsWindowVisible(w)) return "hidden";
    RECT r{};
    GetWindowRect(w, &r);
    const bool topmost = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return "shown " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + " at " +
           std::to_string(r.left) + "," + std::to_string(r.top) + (topmost ? " topmost" : "");
}

LRESULT CALLBACK OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == zel::kWmActivationKey) {
        const auto report = zel::DecodeActivationKey(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        const bool repeat = !report.released && (static_cast<uint32_t>(lParam) & zel::kKeyWasDownBit);
        Line(std::string(report.released ? "up " : "down ") + Hex(report.key) + (repeat ? " repeat" : ""));
        return 0;
    }
    if (message == WM_TIMER) {
        if (std::filesystem::exists(gOut + L".stop")) {
            gLibrary.CloseKeyHook();
            Line("closed");
            PostQuitMessage(0);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    gOut = argv[3];
    const std::string folder = zel::CoreFileName(std::filesystem::path(argv[1]));
    const auto vk = static_cast<uint8_t>(std::wcstoul(argv[2], nullptr, 0));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OnMessage;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelSonda";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"ZelSonda", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    try {
        gLibrary.LoadHookLibrary(folder);
        gLibrary.OpenKeyHook(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)), vk);
    } catch (const zel::TError& e) {
        Line("error: " + zel::Cp1252ToUtf8(e.what()));
        return 1;
    }
    gLibrary.IndicadorMostrar();
    Line("indicator " + IndicatorState());
    gLibrary.IndicadorEsconder();
    Line("indicator " + IndicatorState());
    Line("ready");
    SetTimer(window, 1, 50, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
