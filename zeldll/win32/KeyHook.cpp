#include "zeldll/win32/KeyHook.h"

#include <cstdint>
#include <future>

#include "recognition/hook/ActivationMessage.h"

namespace zeldll {

namespace {

// The hook procedure has no argument of ours: the one watcher of the process
// leaves what it needs here.
const uint32_t* gReceptor = nullptr;
bool gDown[256] = {};

uint32_t ReceptorWord(size_t index) { return __atomic_load_n(&gReceptor[index], __ATOMIC_ACQUIRE); }

// Both Shift keys report SHIFT, both Ctrl keys CTRL, both Alt keys ALT, as the
// profiles name them.
uint32_t GenericKey(uint32_t vk) {
    switch (vk) {
        case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
        case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
        case VK_LMENU: case VK_RMENU: return VK_MENU;
        default: return vk & 0xFF;
    }
}

LRESULT CALLBACK OnKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && gReceptor) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool released = (key->flags & LLKHF_UP) != 0;
        const uint32_t vk = GenericKey(key->vkCode);
        const bool wasDown = gDown[vk];
        gDown[vk] = !released;
        // The second parameter as a keyboard message has it: the repeat count
        // 1, bit 30 the key was down already, bit 31 a release.
        const uint32_t info = 1u | (wasDown ? zel::kKeyWasDownBit : 0u) | (released ? zel::kKeyReleasedBit : 0u);
        const HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(ReceptorWord(zel::kReceptorWindow)));
        if (window) PostMessageW(window, zel::kWmActivationKey, vk, static_cast<LPARAM>(info));
        // The activation key is the program's: no application receives it.
        const uint32_t activation = ReceptorWord(zel::kReceptorKey);
        if (activation != 0 && (vk == activation || (key->vkCode & 0xFF) == activation)) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HMODULE ThisLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OnKey), &module);
    return module;
}

}  // namespace

TKeyHook::~TKeyHook() { StopAtUnload(); }

bool TKeyHook::Start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) return true;
    constexpr DWORD size = zel::kReceptorWords * sizeof(uint32_t);
    mapping_ = OpenFileMappingW(FILE_MAP_READ, FALSE, L"Local\\ElReceptor");
    if (!mapping_) return false;
    receptor_ = static_cast<const uint32_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, size));
    if (!receptor_) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
        return false;
    }
    gReceptor = receptor_;
    for (bool& d : gDown) d = false;

    std::promise<DWORD> started;  // the thread's id, 0 when the hook failed
    std::future<DWORD> result = started.get_future();
    thread_ = std::thread([&started] {
        MSG msg;
        PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue, before anyone posts
        HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &OnKey, ThisLibrary(), 0);
        started.set_value(hook ? GetCurrentThreadId() : 0);
        if (!hook) return;
        // Windows calls the hook from this thread's message loop.
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        UnhookWindowsHookEx(hook);
    });
    threadId_ = result.get();
    if (threadId_ == 0) {
        thread_.join();
        UnmapViewOfFile(const_cast<uint32_t*>(receptor_));
        CloseHandle(mapping_);
        gReceptor = nullptr;
        receptor_ = nullptr;
        mapping_ = nullptr;
        return false;
    }
    return true;
}

void TKeyHook::Stop() {
    std::lock_guard lock(mutex_);
    if (!thread_.joinable()) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    gReceptor = nullptr;
    UnmapViewOfFile(const_cast<uint32_t*>(receptor_));
    CloseHandle(mapping_);
    receptor_ = nullptr;
    mapping_ = nullptr;
    threadId_ = 0;
}

void TKeyHook::StopAtUnload() {
    if (!thread_.joinable()) return;
    gReceptor = nullptr;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.detach();
}

}  // namespace zeldll
