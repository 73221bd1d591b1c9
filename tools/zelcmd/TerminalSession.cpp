#include "tools/zelcmd/TerminalSession.h"

#include <filesystem>
#include <iostream>

#include "commands/Cp1252.h"
#include "commands/KeyNames.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "tools/zelcmd/Terminal.h"

namespace zelcmd {

const zel::TProgramFolders& Folders() {
    static const zel::TProgramFolders folders = zel::ProgramFolders();
    return folders;
}

zel::TIniDocument LoadSettings(const std::string& fileName) {
    if (fileName.empty()) return zel::TIniDocument();
    if (!zel::FileExists(fileName)) zel::RaiseCannotOpen(fileName);
    return zel::TIniDocument::LoadOrEmpty(fileName);
}

void ReadActionSettings(zel::TActionContext& ctx, const zel::TIniDocument& ini, const std::string& programFolder) {
    ctx.TempoTecla = zel::BoundedTempoTecla(ini.ReadInteger("geral", "tempotecla", 10));
    ctx.TempoAtivacao = zel::BoundedTempoAtivacao(ini.ReadInteger("geral", "tempoativacao", 5));
    ctx.Prefs.SomAtivacao = zel::FileNameFromSetting(ini.ReadString("geral", "somativacao", programFolder + "beep.wav"));
    ctx.Prefs.TeclaAtivacao = ini.ReadString("geral", "teclaativacao", "");
    ctx.Prefs.AtivaToggle = ini.ReadBool("geral", "ativatoggle", false);
    ctx.Prefs.MostrarIndicador = ini.ReadBool("geral", "mostrarindicador", true);
    ctx.Prefs.MultiCmd = ini.ReadBool("geral", "multicmd", true);
    ctx.Prefs.ModNum = ini.ReadBool("geral", "modnum", true);
    ctx.Prefs.ModoAdv = ini.ReadBool("geral", "modoadv", true);
}

void TPolledTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
    if (log_) log_->Add({zel::TDesktopEvent::TimerEnabled, enabled ? 1 : 0, {}, {}, {}});
}

void TPolledTimer::SetInterval(int32_t milliseconds) {
    interval_ = milliseconds;
    if (log_) log_->Add({zel::TDesktopEvent::TimerInterval, milliseconds, {}, {}, {}});
}

TTerminalDesktop::TTerminalDesktop(bool dryRun) : dryRun_(dryRun) {
    std::unique_ptr<TPolledTimer> timer;
    if (dryRun) {
        desktop_ = std::make_unique<zel::TFakeDesktop>(log_);
        timer = std::make_unique<TPolledTimer>(&log_);
    } else {
        auto real = std::make_unique<zel::TSystemDesktop>();
        real_ = real.get();
        desktop_ = std::move(real);
        timer = std::make_unique<TPolledTimer>();
    }
    polled_ = timer.get();
    timer_ = std::move(timer);
}

void TTerminalDesktop::PrintDryRun(const zel::TActionContext& ctx) {
    if (!dryRun_) return;
    for (const auto& e : log_.Events()) {
        if (e.Kind == zel::TDesktopEvent::ProcessMessages) continue;
        std::string line = zel::DescribeEvent(e);
        if (e.Kind == zel::TDesktopEvent::KeyDown || e.Kind == zel::TDesktopEvent::KeyUp) {
            std::string name = zel::KeyCodeToName(static_cast<uint16_t>(e.Value));
            if (!name.empty()) line += " " + name;
        }
        PrintLine("  " + line);
    }
    log_.Clear();
    PrintLine(std::string("  ativo ") + (ctx.Ativo ? "1" : "0"));
}

void PrintSentenceError(const std::exception& e) {
    std::cout.flush();
    std::cerr << "zelcmd: " << zel::Cp1252ToUtf8(e.what()) << '\n';
}

}  // namespace zelcmd
