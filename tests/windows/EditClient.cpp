// zel_edit_client OUT.txt: a Windows application to type into, for the tests.
// One top-level window "ZelTeste" holding a single-line EDIT control that
// has the focus. Whatever the control holds is written to OUT.txt (UTF-8)
// whenever it changes, and every key combination with Ctrl that reaches it
// is written to OUT.txt.keys, one a line ("CTRL+A"), as are the keys that
// type nothing, with the scan code and extended flag that came with them
// ("KEY 0x25 scan 0x4B ext"), so that a test reads back exactly what an
// application received.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring gOut;
WNDPROC gEditProc = nullptr;
HWND gEdit = nullptr;

void WriteUtf8(const std::wstring& file, const std::wstring& text, bool append) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    // Written beside and moved over: a reader never sees half a file.
    const std::wstring temp = file + L".tmp";
    if (append) {
        if (FILE* f = _wfopen(file.c_str(), L"ab")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return;
    }
    if (FILE* f = _wfopen(temp.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

bool TypesNothing(WPARAM vk) {
    return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE || (vk >= VK_F1 && vk <= VK_F12);
}

LRESULT CALLBACK OnEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && TypesNothing(wParam)) {
        wchar_t line[64];
        swprintf(line, 64, L"KEY 0x%02X scan 0x%02X%ls\n", static_cast<unsigned>(wParam),
                 static_cast<unsigned>((lParam >> 16) & 0xFF), (lParam & (1 << 24)) ? L" ext" : L"");
        WriteUtf8(gOut + L".keys", line, true);
    }
    if (message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) && wParam >= 'A' && wParam <= 'Z')
        WriteUtf8(gOut + L".keys", std::wstring(L"CTRL+") + static_cast<wchar_t>(wParam) + L"\n", true);
    // A single-line EDIT control of this Windows does not select all with
    // Ctrl+A by itself; an application would.
    if (message == WM_KEYDOWN && wParam == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        SendMessageW(window, EM_SETSEL, 0, -1);
        return 0;
    }
    if (message == WM_CHAR && wParam == 1) return 0;  // the control character of Ctrl+A
    return CallWindowProcW(gEditProc, window, message, wParam, lParam);
}

LRESULT CALLBACK OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) {
                const int n = GetWindowTextLengthW(gEdit);
                std::wstring text(static_cast<size_t>(n) + 1, L'\0');
                GetWindowTextW(gEdit, text.data(), n + 1);
                text.resize(static_cast<size_t>(n));
                WriteUtf8(gOut, text, false);
            }
            return 0;
        case WM_SETFOCUS: SetFocus(gEdit); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    gOut = argv[1];
    WriteUtf8(gOut, L"", false);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OnMessage;
    wc.hInstance = instance;
    wc.lpszClassName = L"ZelTesteJanela";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"ZelTeste", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                                  120, nullptr, nullptr, instance, nullptr);
    gEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 360, 30, window,
                            nullptr, instance, nullptr);
    gEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(gEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnEditMessage)));
    SetForegroundWindow(window);
    SetFocus(gEdit);
    WriteUtf8(gOut + L".ready", L"ready\n", false);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
