// zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] SENTENCE...
// Hands each sentence to the interpretation as if the recognizer had heard it,
// with the profile's commands, the settings' times and check boxes, and the
// number words of modnum.ini (beside zelcmd unless --modnum names one).
// Recognition starts as a switch-on leaves it: active unless the profile has
// an activation command or an activation key is set. With --dry-run every key
// event, wait, program start, sound and timer change is printed instead of
// done; otherwise the keys go to the desktop's focused window.
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
#include "platform/SystemProcess.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"
#include "tools/zelcmd/TerminalSession.h"

namespace zelcmd {

namespace {

constexpr const char* kUsage =
    "uso: zelcmd say [--profile FILE.zpr] [--settings config.ini] [--modnum modnum.ini] [--dry-run] FRASE...";

}  // namespace

int RunSay(const std::vector<std::string>& argv) {
    TArgs args = ParseArgs(argv, {"profile", "settings", "modnum"}, {"dry-run"});
    if (args.plain.empty()) throw TExitError(kExitUsage, kUsage);
    const bool dryRun = args.Has("dry-run");
    const std::string pastaExe = Folders().Runtime;

    zel::TProfileState profile;
    if (args.Has("profile")) zel::LoadProfile(profile, args.Get("profile"));

    TTerminalDesktop session(dryRun);
    // No hook library here: no indicator.
    zel::TActionContext ctx(profile.Comandos, session.Desktop(), session.Timer(), nullptr);
    ReadActionSettings(ctx, LoadSettings(args.Has("settings") ? args.Get("settings") : std::string()),
                       pastaExe);
    if (ctx.Prefs.ModNum)
        zel::LoadNumericModifiers(ctx.Modificadores,
                                  args.Has("modnum") ? args.Get("modnum") : pastaExe + "modnum.ini");
    if (zel::TSystemDesktop* real = session.Real()) {
        real->SetMessagePump([&ctx, &session] {
            if (session.TimerDue()) zel::ActivationTimerTick(ctx);
        });
    }
    zel::ActivationSwitchOn(ctx);
    session.ClearLog();

    int status = 0;
    for (const std::string& utf8 : args.plain) {
        const std::string sentence = zel::Trim(FromTerminal(utf8));
        if (dryRun) PrintLine("sentence \"" + sentence + "\"");
        try {
            zel::HandleSentence(ctx, sentence);
        } catch (const zel::TError& e) {
            // As in the window: the message, and the next sentence is handled.
            PrintSentenceError(e);
            status = 1;
        }
        session.PrintDryRun(ctx);
    }
    return status;
}

}  // namespace zelcmd
