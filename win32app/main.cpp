// The Windows program entry: one window per user session (a later start
// brings the first to the front and ends), the real parts behind it, and the
// message loop until "Sair" or a close; then the window is destroyed, which
// writes the settings back.
#include <windows.h>

#include <memory>

#include "commands/Cp1252.h"
#include "form/ErrorGuard.h"
#include "platform/SystemFiles.h"
#include "platform/RuntimeFolder.h"
#include "win32app/ControlIds.h"
#include "win32app/Form1.h"
#include "win32app/Win32Text.h"
#include "win32app/WindowServices.h"

namespace {

// The running window of this session, asked to come to the front.
bool HandedOver() {
    HWND running = FindWindowW(zel::win32ids::kWindowClass, zel::win32ids::kWindowTitle);
    if (!running) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(running, &pid);
    AllowSetForegroundWindow(pid);
    PostMessageW(running, RegisterWindowMessageW(zel::win32ids::kToFrontMessage), 0, 0);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One window per logon session: the name lives in the session's namespace.
    HANDLE single = CreateMutexW(nullptr, FALSE, L"Local\\MORO Zel janela");
    if (single && GetLastError() == ERROR_ALREADY_EXISTS) {
        // The first start may still be making its window.
        for (int i = 0; i < 50 && !HandedOver(); ++i) Sleep(100);
        CloseHandle(single);
        return 0;
    }
    zel::InstallFileSync();
    zel::SetMessageShower([](const std::string& utf8) {
        const std::wstring text = zel::WideUtf8(utf8);
        MessageBoxW(GetActiveWindow(), text.c_str(), zel::win32ids::kWindowTitle, MB_OK | MB_ICONERROR);
    });
    // Installed for every user: the program's files are the user's own.
    zel::TProgramFolders folders;
    try {
        folders = zel::ProgramFolders();
    } catch (const std::exception& e) {
        zel::ShowError(e);
        return 1;
    }
    std::unique_ptr<zel::IWindowServices> services = zel::MakeWin32Services(folders);
    auto form = std::make_unique<zel::TForm1>(*services, folders.Runtime);
    form->Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form->PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    form.reset();
    services.reset();
    if (single) CloseHandle(single);
    return 0;
}
