#pragma once
// The Windows desktop: keys through SendInput (named keys and combinations by
// virtual-key code with their scan code, characters as Unicode, so that the
// user's keyboard layout is never changed nor relied on), programs and
// documents through the shell, sounds played without waiting.
#include <functional>
#include <memory>
#include <string>

#include "platform/Desktop.h"

namespace zel {

class TWin32Desktop : public IDesktop {
public:
    TWin32Desktop();
    ~TWin32Desktop() override;
    TWin32Desktop(const TWin32Desktop&) = delete;
    TWin32Desktop& operator=(const TWin32Desktop&) = delete;

    void KeyDown(uint8_t vk) override;
    void KeyUp(uint8_t vk) override;
    void Sleep(int32_t milliseconds) override;
    // ShellExecuteW "open": a program with its parameters as written, in the
    // working folder; a document, folder or address with its program.
    bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& workFolder) override;
    // PlaySoundW, asynchronous; silent without a sound device or file.
    void PlaySoundAsync(const std::string& wavFile) override;
    // Dispatches the thread's waiting window messages, then runs the pump, if any.
    void ProcessMessages() override;

    // More to run when messages are processed (zelcmd's event queue).
    void SetMessagePump(std::function<void()> pump);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zel
