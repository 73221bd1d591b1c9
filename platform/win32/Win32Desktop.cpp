#include "platform/win32/Win32Desktop.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "platform/Abnt2Typing.h"

namespace zel {

namespace {

// Keys whose scan code comes with the E0 prefix on a PC keyboard: without the
// extended flag an application that reads scan codes takes them for the
// numeric keypad's (Home for keypad 7).
bool IsExtendedKey(uint8_t vk) {
    switch (vk) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        case VK_INSERT: case VK_DELETE: case VK_SNAPSHOT:
        case VK_RCONTROL: case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS:
        case VK_NUMLOCK: case VK_DIVIDE: case VK_CANCEL:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(uint8_t vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    return in;
}

INPUT CharacterInput(char32_t ch, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(ch);  // Windows-1252 text: always one UTF-16 unit
    in.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
    return in;
}

void Send(const std::vector<TTypedEvent>& events) {
    std::vector<INPUT> inputs;
    for (const TTypedEvent& e : events)
        inputs.push_back(e.Kind == TTypedEvent::Key ? KeyInput(e.Vk, e.Down) : CharacterInput(e.Char, e.Down));
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring Wide(const std::string& fileName) { return NativePath(fileName).native(); }

}  // namespace

struct TWin32Desktop::Impl {
    TAbnt2Reader reader;
    std::function<void()> pump;
};

TWin32Desktop::TWin32Desktop() : impl_(std::make_unique<Impl>()) {}

TWin32Desktop::~TWin32Desktop() {
    // Nothing stays held after the program.
    for (int vk = 255; vk > 0; --vk)
        if (impl_->reader.Down(static_cast<uint8_t>(vk))) KeyUp(static_cast<uint8_t>(vk));
}

void TWin32Desktop::KeyDown(uint8_t vk) { Send(impl_->reader.KeyDown(vk)); }

void TWin32Desktop::KeyUp(uint8_t vk) { Send(impl_->reader.KeyUp(vk)); }

void TWin32Desktop::Sleep(int32_t milliseconds) {
    if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

bool TWin32Desktop::ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) {
    if (file.empty()) return false;
    const std::wstring target = Wide(file);
    const std::u16string params = Cp1252ToUtf16(parameters);  // profile text
    const std::wstring folder = workFolder.empty() ? std::wstring() : Wide(workFolder);
    const HINSTANCE rc = ShellExecuteW(nullptr, L"open", target.c_str(),
                                       params.empty() ? nullptr : reinterpret_cast<const wchar_t*>(params.c_str()),
                                       folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

void TWin32Desktop::PlaySoundAsync(const std::string& wavFile) {
    if (wavFile.empty()) return;
    PlaySoundW(Wide(wavFile).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void TWin32Desktop::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (impl_->pump) impl_->pump();
}

void TWin32Desktop::SetMessagePump(std::function<void()> pump) { impl_->pump = std::move(pump); }

}  // namespace zel
