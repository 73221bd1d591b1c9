// zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] SENTENCE...
// Hands each sentence to the interpretation as if the recognizer had heard it,
// with the profile's commands, the settings' times and check boxes, and the
// number words of modnum.ini (beside zelcmd unless --modnum names one).
// Recognition starts as a switch-on leaves it: active unless the profile has
// an activation command or an activation key is set. With --dry-run every key
// event, wait, program start, sound and timer change is printed instead of
// done; otherwise the keys go to the X server's focused window.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>

#include "actions/Activation.h"
#include "actions/Interpretation.h"
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/IniFile.h"
#include "commands/KeyNames.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/x11/X11Desktop.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

namespace {

constexpr const char* kUsage =
    "uso: zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] FRASE...";

// The folder of zelcmd itself, ending in "/": where the program keeps modnum.ini.
std::string PastaExe() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return zel::CoreFileName(exe.parent_path()) + "/";
}

// The settings the interpretation reads, from the section "geral".
void ReadSettings(zel::TActionContext& ctx, const std::string& fileName, const std::string& pastaExe) {
    if (!fileName.empty() && !zel::FileExists(fileName)) zel::RaiseCannotOpen(fileName);
    zel::TIniDocument ini = fileName.empty() ? zel::TIniDocument() : zel::TIniDocument::LoadOrEmpty(fileName);
    ctx.TempoTecla = ini.ReadInteger("geral", "tempotecla", 10);
    ctx.TempoAtivacao = ini.ReadInteger("geral", "tempoativacao", 5);
    ctx.Prefs.SomAtivacao = ini.ReadString("geral", "somativacao", pastaExe + "beep.wav");
    ctx.Prefs.TeclaAtivacao = ini.ReadString("geral", "teclaativacao", "");
    ctx.Prefs.AtivaToggle = ini.ReadBool("geral", "ativatoggle", false);
    ctx.Prefs.MostrarIndicador = ini.ReadBool("geral", "mostrarindicador", true);
    ctx.Prefs.MultiCmd = ini.ReadBool("geral", "multicmd", true);
    ctx.Prefs.ModNum = ini.ReadBool("geral", "modnum", true);
    ctx.Prefs.ModoAdv = ini.ReadBool("geral", "modoadv", true);
}

// The activation timer of a terminal program: it ticks when the pending
// messages are handled after its time has run out.
class TPolledTimer : public zel::ITimer {
public:
    void SetEnabled(bool enabled) override {
        enabled_ = enabled;
        if (enabled) due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
    }
    bool Enabled() const override { return enabled_; }
    void SetInterval(int32_t milliseconds) override { interval_ = milliseconds; }
    int32_t Interval() const override { return interval_; }
    bool Due() const { return enabled_ && std::chrono::steady_clock::now() >= due_; }

private:
    bool enabled_ = false;
    int32_t interval_ = 1000;
    std::chrono::steady_clock::time_point due_{};
};

std::string Describe(const zel::TDesktopEvent& e) {
    std::string line = zel::DescribeEvent(e);
    if (e.Kind == zel::TDesktopEvent::KeyDown || e.Kind == zel::TDesktopEvent::KeyUp) {
        std::string name = zel::KeyCodeToName(static_cast<uint16_t>(e.Value));
        if (!name.empty()) line += " " + name;
    }
    return line;
}

}  // namespace

int RunSay(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"profile", "settings", "modnum"}, {"dry-run"});
    if (args.plain.empty()) throw zel::TError(kUsage);
    const bool dryRun = args.Has("dry-run");
    const std::string pastaExe = PastaExe();

    zel::TProfileState profile;
    if (args.Has("profile")) zel::LoadProfile(profile, FromTerminal(args.Get("profile")));

    zel::TEventLog log;
    std::unique_ptr<zel::IDesktop> desktop;
    std::unique_ptr<zel::ITimer> timer;
    zel::TX11Desktop* x11 = nullptr;
    TPolledTimer* polled = nullptr;
    if (dryRun) {
        desktop = std::make_unique<zel::TFakeDesktop>(log);
        timer = std::make_unique<zel::TFakeTimer>(log);
    } else {
        auto real = std::make_unique<zel::TX11Desktop>();
        x11 = real.get();
        desktop = std::move(real);
        auto t = std::make_unique<TPolledTimer>();
        polled = t.get();
        timer = std::move(t);
        desktop->LoadKeyboardLayout();
    }
    // No hook library here: no indicator.
    zel::TActionContext ctx(profile.Comandos, *desktop, *timer, nullptr);
    ReadSettings(ctx, args.Has("settings") ? FromTerminal(args.Get("settings")) : std::string(), pastaExe);
    if (ctx.Prefs.ModNum)
        zel::LoadNumericModifiers(ctx.Modificadores,
                                  args.Has("modnum") ? FromTerminal(args.Get("modnum")) : pastaExe + "modnum.ini");
    if (x11) {
        x11->SetMessagePump([&ctx, polled] {
            if (polled->Due()) zel::ActivationTimerTick(ctx);
        });
    }
    zel::ActivationSwitchOn(ctx);
    log.Clear();

    int status = 0;
    for (const std::string& utf8 : args.plain) {
        const std::string sentence = zel::Trim(FromTerminal(utf8));
        if (dryRun) PrintLine("sentence \"" + sentence + "\"");
        try {
            zel::HandleSentence(ctx, sentence);
        } catch (const zel::TError& e) {
            // As in the window: the message, and the next sentence is handled.
            std::cout.flush();
            std::cerr << "zelcmd: " << zel::Cp1252ToUtf8(e.what()) << '\n';
            status = 1;
        }
        if (dryRun) {
            for (const auto& e : log.Events()) {
                if (e.Kind != zel::TDesktopEvent::ProcessMessages) PrintLine("  " + Describe(e));
            }
            log.Clear();
            PrintLine(std::string("  ativo ") + (ctx.Ativo ? "1" : "0"));
        }
    }
    return status;
}

}  // namespace zelcmd
