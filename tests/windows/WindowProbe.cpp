// zel_window_probe COMMAND [ID]: looks at the running window of zel.exe
// from outside, as a test needs it. Controls are named by their ids
// (win32app/ControlIds.h) by their names. Prints one answer (UTF-8) and ends with 0, or 1
// when there is no such window or control.
//   window           "x y width height" of the window, "hidden" when it is not shown
//   text ID          the control's text
//   rows ID          a list box's rows, one a line
//   visible ID       1 when the control is shown (with all its parents), else 0
//   enabled ID       1 or 0
//   checked ID       1 or 0 (a check box)
//   centre ID        "x y": the middle of the control on the screen, to click
//   page             the name of the page of abook that is shown ("menu"...)
//   endsession       the session ends: WM_QUERYENDSESSION, then WM_ENDSESSION
//   trayicon         1 when the window's icon is in the notification area
//   trayclick        a click on that icon, as the notification area reports it
//   windows          how many windows of the program there are
//   foreground       the class of the window in front (the one keys go to)
//   question         the program's open message box: its text, then its
//                    buttons' captions, one a line
//   answer ID        presses that box's button IDYES, IDNO or IDCANCEL
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "win32app/ControlIds.h"

namespace {

namespace ids = zel::win32ids;

HWND gFound = nullptr;

HWND MainWindow() { return FindWindowW(ids::kWindowClass, ids::kWindowTitle); }

HWND Control(HWND root, int id) {
    gFound = nullptr;
    EnumChildWindows(
        root,
        [](HWND child, LPARAM wanted) -> BOOL {
            if (GetDlgCtrlID(child) == static_cast<int>(wanted)) {
                gFound = child;
                return FALSE;
            }
            return TRUE;
        },
        id);
    return gFound;
}

void Print(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

// WM_GETTEXT itself: GetWindowText gives another program's edit box only
// the caption it was made with.
std::wstring TextOf(HWND h) {
    std::wstring text(static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"foreground") {
        wchar_t cls[64] = L"";
        GetClassNameW(GetForegroundWindow(), cls, 64);
        Print(cls);
        return 0;
    }
    if (command == L"windows") {
        int n = 0;
        EnumWindows(
            [](HWND h, LPARAM count) -> BOOL {
                wchar_t cls[64];
                if (GetClassNameW(h, cls, 64) && std::wcscmp(cls, ids::kWindowClass) == 0) ++*reinterpret_cast<int*>(count);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&n));
        std::printf("%d\n", n);
        return 0;
    }
    HWND root = MainWindow();
    if (!root) return 1;
    if (command == L"question" || command == L"answer") {
        // The message box: a dialog of the program's window.
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", ids::kWindowTitle)) != nullptr)
            if (GetWindow(box, GW_OWNER) == root) break;
        if (!box) return 1;
        const int buttons[] = {IDYES, IDNO, IDCANCEL};
        if (command == L"question") {
            // The box's text: its static control that holds words (not the icon).
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                wchar_t cls[16] = L"";
                GetClassNameW(c, cls, 16);
                if (_wcsicmp(cls, L"Static") == 0 && !TextOf(c).empty()) {
                    Print(TextOf(c));
                    break;
                }
            }
            for (int id : buttons)
                if (HWND b = GetDlgItem(box, id)) Print(TextOf(b));
            return 0;
        }
        if (argc < 3) return 2;
        const std::wstring which = argv[2];
        const int id = which == L"IDYES" ? IDYES : which == L"IDNO" ? IDNO : IDCANCEL;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
        return 0;
    }
    if (command == L"window") {
        if (!IsWindowVisible(root) || IsIconic(root)) {
            std::printf("hidden\n");
            return 0;
        }
        RECT r;
        GetWindowRect(root, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == L"endsession") {
        const LRESULT agreed = SendMessageW(root, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageW(root, WM_ENDSESSION, agreed ? TRUE : FALSE, ENDSESSION_LOGOFF);
        std::printf("%d\n", agreed ? 1 : 0);
        return 0;
    }
    if (command == L"trayicon") {
        // Modifying nothing succeeds only for an icon that is there.
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = root;
        data.uID = 1;
        std::printf("%d\n", Shell_NotifyIconW(NIM_MODIFY, &data) ? 1 : 0);
        return 0;
    }
    if (command == L"trayclick") {
        // What the notification area sends for a click on the icon.
        PostMessageW(root, ids::kWmTrayIcon, 1, WM_LBUTTONUP);
        return 0;
    }
    if (command == L"page") {
        for (int id = ids::pageMenu; id <= ids::pageTreino; ++id)
            if (HWND page = Control(root, id); page && IsWindowVisible(page)) {
                // The page's name: the ids follow the order of the names.
                static const char* const names[] = {"menu", "comandos", "prefs", "ditado", "apres", "treino"};
                std::printf("%s\n", names[id - ids::pageMenu]);
                return 0;
            }
        return 1;
    }
    if (argc < 3) return 2;
    HWND h = Control(root, ids::IdOfName(argv[2]));
    if (!h) return 1;
    if (command == L"text") {
        Print(TextOf(h));
    } else if (command == L"rows") {
        const LRESULT n = SendMessageW(h, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring row(static_cast<size_t>(SendMessageW(h, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            row.resize(static_cast<size_t>(SendMessageW(h, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
            Print(row);
        }
    } else if (command == L"visible") {
        std::printf("%d\n", IsWindowVisible(h) ? 1 : 0);
    } else if (command == L"enabled") {
        std::printf("%d\n", IsWindowEnabled(h) ? 1 : 0);
    } else if (command == L"checked") {
        std::printf("%d\n", SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    } else if (command == L"centre") {
        RECT r;
        GetWindowRect(h, &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else {
        return 2;
    }
    return 0;
}
