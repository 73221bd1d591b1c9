#pragma once
// The desktop of an X server: keys through XTest into the user's own layout
// (never changed), programs started without a shell, documents handed to the
// desktop's opener, the sound played without waiting.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Desktop.h"

namespace zel {

class TX11Desktop : public IDesktop {
public:
    // Connects to the display (DISPLAY when empty). Raises TError with a
    // clear message when there is no X server or it lacks XTest or XKB.
    explicit TX11Desktop(const std::string& displayName = "");
    ~TX11Desktop() override;
    TX11Desktop(const TX11Desktop&) = delete;
    TX11Desktop& operator=(const TX11Desktop&) = delete;

    void KeyDown(uint8_t vk) override;
    void KeyUp(uint8_t vk) override;
    // Every key event sent so far reaches the server before the wait begins,
    // so a hold time means that long between press and release.
    void Sleep(int32_t milliseconds) override;
    bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) override;
    void PlaySoundAsync(const std::string& wavFile) override;
    // Waits until the server has handled every key event sent (a round trip),
    // then runs the message pump, if any.
    void ProcessMessages() override;

    // The window's own event processing (Qt's processEvents).
    void SetMessagePump(std::function<void()> pump);
    // Replaces the default sound player (paplay, detached; silent when it is
    // missing) with the window's own (Qt Multimedia).
    void SetSoundPlayer(std::function<void(const std::string& utf8File)> player);
    // How many spare keycodes carry a keysym for the typing now.
    size_t SpareKeysBound() const;

    // A lost X server ends the program with exit(1) (the program's exit
    // handler runs its quit path). Once the program is ending, called by
    // that path, a lost server is left alone instead.
    static void SetProgramEnding();

    // True when an X server answers on the display (DISPLAY when empty).
    static bool Reachable(const std::string& displayName = "");

    // The program that opens documents, folders and addresses
    // (xdg-open, else "gio open"); empty when there is none.
    static std::string Opener();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zel
