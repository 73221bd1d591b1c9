#pragma once
// TForm1 on Windows: the program's one window, 576 x 432, its outline cut
// out of the background picture (SetWindowRgn), dragged by its frame, with
// the same pages and controls as the Linux window, made of Windows' own
// controls and the skinned image buttons. Its handlers and state are the
// form's logic (form/FormLogic.h).
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "form/FormLogic.h"
#include "win32app/ImageButton.h"
#include "win32app/Skin.h"
#include "win32app/Win32Controls.h"

namespace zel {

class TForm1 : public TFormLogic {
public:
    // pastaExe: the program's folder, ending in "\" (a file name). The
    // window is made and runs FormCreate at once; it shows with Show.
    TForm1(IWindowServices& services, std::string pastaExe);
    ~TForm1() override;

    HWND Window() const { return hwnd_; }
    void Show();
    // Tab between the controls, Alt+letter and Escape for the buttons; true
    // when the message was the window's.
    bool PreTranslate(MSG& msg);

    // What only the window does (TFormWindow).
    void BuildWindowRegion() override;
    void CentreOnScreen() override;
    void QuitProgram() override;
    bool NotificationAreaAvailable() override { return true; }
    void HideWindow() override;
    void MinimizeWindow() override;
    void ShowWindowInFront() override;
    void ShowTrayIcon(bool recognitionOn, const std::string& tip) override;
    void RemoveTrayIcon() override;
    bool TrayIconShown() const override { return trayShown_; }
    uint64_t HookWindowId() override;
    void ProcessMessages() override;
    TAnswer Ask(const std::string& question) override;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Making the window.
    void CreateComponents();
    void CreateMenuPage();
    void CreateComandosPage();
    void CreatePrefsPage();
    void CreateDitadoPage();
    void CreateApresPage();
    void CreateTreinoPage();
    void CreateTray();
    void HandOverControls();

    int S(int pixels) const;  // scaled to the screen
    RECT At(int x, int y, int w, int h) const;
    HWND Page(HWND parent, int id, int x, int y, int w, int h);
    HWND Control(const wchar_t* cls, const std::wstring& text, DWORD style, HWND parent, int id, RECT place,
                 HFONT font = nullptr, DWORD exStyle = 0);
    HWND Label(HWND parent, int id, const std::wstring& text, int x, int y, int w = 260, int h = 18, HFONT font = nullptr);
    TImageButton* Button(HWND parent, int id, const std::wstring& caption, const wchar_t* strip, RECT place,
                         bool transparent, const std::function<void()>& click);
    HWND SpeedButton(HWND parent, int id, RECT place, const std::function<void()>& click);
    // A handler run through the guard when the control's notification comes.
    void OnCommand(int id, std::function<void()> handler);

    void ShowTrayMenu();
    void Paint();

    HWND hwnd_ = nullptr;
    double scale_ = 1.0;
    TSkinImage background_;
    HBITMAP backgroundBitmap_ = nullptr;
    HFONT font_ = nullptr, big_ = nullptr, large_ = nullptr, small_ = nullptr;
    HBRUSH pageBrush_ = nullptr, fieldBrush_ = nullptr;
    HMENU popTray_ = nullptr;
    NOTIFYICONDATAW tray_{};
    bool trayShown_ = false;
    HICON iconOn_ = nullptr, iconOff_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT toFront_ = 0;  // a later start of the program asks for this window

    std::unordered_map<int, std::function<void()>> commands_;
    std::vector<std::unique_ptr<TImageButton>> buttons_;
    std::unordered_map<int, TImageButton*> buttonById_;

    // The controls as the form's logic sees them.
    struct TParts;
    std::unique_ptr<TParts> parts_;
};

}  // namespace zel
