// The window's life: start-up and shutdown with config.ini, the pages, the
// notification area, and quitting.
#include "form/FormLogic.h"

#include <filesystem>

#include "actions/ActionContext.h"
#include "commands/Cp1252.h"
#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "form/ErrorGuard.h"
#include "recognition/training/UseStore.h"

namespace zel {

namespace {

const char* const kSection = "geral";

// The threshold's meaning for commands, and how it applies to a dictated
// sentence (judged whole, with three fifths of it).
const char* const kConfiancaHint =
    "A porcentagem de confiança que deve ser obtida antes de aceitar um comando; uma frase de ditado é julgada "
    "inteira, com 3/5 dessa porcentagem";
const char* const kTipoCmdHint =
    "Execução: Executa um programa\n"
    "Tecla: Envia uma combinação do teclado\n"
    "Ativação: Habilita o reconhecimento de comandos\n"
    "Digitação: Envia um texto como se o usuário tivesse digitado";

}  // namespace

TFormLogic::TFormLogic(IWindowServices& services, std::string pastaExe)
    : PastaExe(std::move(pastaExe)), services_(services) {
    Profile.OnReset = [this] { ResetProfileWindowPart(); };
}

TFormLogic::~TFormLogic() = default;

void TFormLogic::Handle(const std::function<void()>& body) { GuardHandler(body); }

void TFormLogic::ConnectServices() {
    TWindowLinks links;
    links.TimerAtivo = Controls.timerAtivo;
    links.UtteranceResult = [this](const std::u16string& r) { Handle([&] { SphinxUtteranceResult(r); }); };
    links.NewUtterance = [this] { Handle([&] { SphinxNewUtterance(); }); };
    links.UtteranceDone = [this] { Handle([&] { ShowListeningStatus(); }); };
    links.EndUtterance = [this] { Handle([&] { SphinxEndUtterance(); }); };
    links.UtteranceError = [this](int32_t e) { Handle([&] { SphinxUtteranceError(e); }); };
    links.StartListening = [this] { Handle([&] { SphinxStartListening(); }); };
    links.StopListening = [this] { Handle([&] { SphinxStopListening(); }); };
    links.UtterancePartialResult = [this](const std::u16string& r) { Handle([&] { SphinxUtterancePartialResult(r); }); };
    links.Heard = [this](const THeardEntry& e) { Controls.lstOuvido->Add(e); };
    // Listening goes on; the user is told once why nothing is written.
    links.HistoryError = [this](const std::string& m) { Handle([&] { throw TError(m); }); };
    links.VoiceAdapted = [this](const TUseAdaptationEnd& e) { Handle([&] { VoiceAdaptedFromUse(e); }); };
    services_.Connect(links);
}

// No event reaches a window that is going away.
void TFormLogic::DisconnectServices() { services_.Connect(TWindowLinks{}); }

void TFormLogic::FormCreate() {
    // Without the hook library the program still works (no activation key,
    // no indicator): say so and go on, settings included.
    try {
        services_.LoadHookLibrary();
        HookLoaded = true;
    } catch (const std::exception& e) {
        ShowError(e);
    }
    // A file that lost characters on loading says so in a message box.
    SetNoticeSink([](const std::string& utf8) { ShowMessageUtf8(utf8); });
    Handle([this] {
        BuildWindowRegion();
        // PastaExe was given by the program entry (the executable's folder).
        ShowPage(kPageApres);
        ResetProfile(Profile);
        ProfileSaved("");  // an empty profile has nothing to save
        ReadSettings();
        Controls.rdgTipoCmd->SetHint(Utf8ToCp1252(kTipoCmdHint));
        Controls.tbConfianca->SetHint(Utf8ToCp1252(kConfiancaHint));
    });
    CentreOnScreen();
}

void TFormLogic::ReadSettings() {
    const TFormControls& c = Controls;
    const std::string file = PastaExe + "config.ini";
    TIniDocument ini;
    bool readable = true;
    std::error_code ec;
    if (std::filesystem::exists(NativePath(file), ec)) {
        try {
            ini = TIniDocument(ReadLines(file));
        } catch (const TError&) {
            // A settings file that exists but cannot be read gives the
            // defaults and is left alone at exit.
            readable = false;
        }
    }
    Profile.TempoTecla = BoundedTempoTecla(ini.ReadInteger(kSection, "tempotecla", 10));
    c.edtTempoTeclas->Fill(std::to_string(Profile.TempoTecla));
    Profile.TempoAtivacao = BoundedTempoAtivacao(ini.ReadInteger(kSection, "tempoativacao", 5));
    c.edtTempoAtivo->Fill(std::to_string(Profile.TempoAtivacao));
    c.tbConfianca->FillPosition(ini.ReadInteger(kSection, "confianca", 50));  // the slider keeps to 0..100
    // The microphone records at this rate; the recognizer converts it to
    // the 16000 Hz its acoustic model was made for.
    c.tbSampling->FillPosition(ini.ReadInteger(kSection, "sampling", kDefaultSampling));  // kept to 0..5
    tbConfiancaChange();
    tbSamplingChange();
    c.edtSomAtivacao->FillFileName(FileNameFromSetting(ini.ReadString(kSection, "somativacao", PastaExe + "beep.wav")));
    const std::string profiles = PastaExe + "profiles/";
    c.dlgAbrirProfile->SetFolder(profiles);
    c.dlgSalvarProfile->SetFolder(profiles);
    c.edtTeclaAtivacao->Fill(ini.ReadString(kSection, "teclaativacao", ""));
    c.chbAtivaToggle->Fill(ini.ReadBool(kSection, "ativatoggle", false));
    c.chbMostrarIndicador->Fill(ini.ReadBool(kSection, "mostrarindicador", true));
    c.chbMultiCmd->Fill(ini.ReadBool(kSection, "multicmd", true));
    c.chbModNum->Fill(ini.ReadBool(kSection, "modnum", true));
    c.chbModoAdv->Fill(ini.ReadBool(kSection, "modoadv", true));
    // Ours; files from before them read as the default source and history on.
    c.pnlMicrofone->SetSource(ini.ReadString(kSection, "microfone", ""));
    c.chbHistorico->Fill(ini.ReadBool(kSection, "historico", true));
    services_.SetHistoryEnabled(c.chbHistorico->Checked());
    c.chbAprenderUso->Fill(ini.ReadBool(kSection, kLearnFromUseKey, true));
    services_.SetLearningFromUse(c.chbAprenderUso->Checked());
    SettingsRead = readable;
}

void TFormLogic::WriteSettings() {
    const TFormControls& c = Controls;
    const std::string file = PastaExe + "config.ini";
    // Other sections and keys of the file stay as they are.
    TIniDocument ini = TIniDocument::LoadOrEmpty(file);
    auto flag = [&ini](const char* key, bool value) { ini.WriteString(kSection, key, value ? "1" : "0"); };
    ini.WriteInteger(kSection, "tempotecla", Profile.TempoTecla);
    ini.WriteInteger(kSection, "tempoativacao", Profile.TempoAtivacao);
    ini.WriteInteger(kSection, "sampling", c.tbSampling->Position());
    ini.WriteInteger(kSection, "confianca", c.tbConfianca->Position());
    ini.WriteString(kSection, "somativacao", c.edtSomAtivacao->FileName());
    ini.WriteString(kSection, "teclaativacao", c.edtTeclaAtivacao->Text());
    flag("ativatoggle", c.chbAtivaToggle->Checked());
    flag("mostrarindicador", c.chbMostrarIndicador->Checked());
    flag("multicmd", c.chbMultiCmd->Checked());
    flag("modnum", c.chbModNum->Checked());
    flag("modoadv", c.chbModoAdv->Checked());
    ini.WriteString(kSection, "microfone", c.pnlMicrofone->Source());
    flag("historico", c.chbHistorico->Checked());
    flag(kLearnFromUseKey, c.chbAprenderUso->Checked());
    // One atomic write: the old file stays whole when it cannot be replaced.
    ini.Save(file);
}

void TFormLogic::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (!SettingsRead) return;  // never overwrite settings that were not read
    Handle([this] { WriteSettings(); });
}

// ---------------------------------------------------------------------------
// Pages

void TFormLogic::ShowPage(TPage page) {
    // The level meter listens only while its page is shown.
    if (page != kPagePrefs && Controls.pnlMicrofone) Controls.pnlMicrofone->Close();
    Controls.abook->ShowPage(page);
}

void TFormLogic::BtnComandosClick() {
    ShowPage(kPageComandos);
    RefreshCommandEditor();
}

void TFormLogic::btnPreferenciasClick() {
    ShowPage(kPagePrefs);
    // The microphone's level moves while the page is open.
    Controls.pnlMicrofone->Open();
}

void TFormLogic::btnDitadoClick() { ShowPage(kPageDitado); }

void TFormLogic::btnVoltarClick() { ShowPage(kPageMenu); }

void TFormLogic::Image1Click() { ShowPage(kPageMenu); }

void TFormLogic::btnMinimizarClick() { MinimizeToTray(); }

void TFormLogic::MathBotao1Click() {
    if (ConfirmProfileChanges()) QuitProgram();
}

bool TFormLogic::FormCloseQuery() {
    bool confirmed = false;
    Handle([&] { confirmed = ConfirmProfileChanges(); });
    return confirmed;
}

void TFormLogic::Sair1Click() {
    if (ConfirmProfileChanges()) QuitProgram();
}

// ---------------------------------------------------------------------------
// Notification area

std::string TFormLogic::TrayTipText() const {
    return Controls.btnReconhecer->Checked() ? "MORO Zel" : "MORO Zel (desativado)";
}

void TFormLogic::MinimizeToTray() {
    // Without a notification area the window could not be reached again.
    if (!NotificationAreaAvailable()) {
        MinimizeWindow();
        return;
    }
    HideWindow();
    RemoveTrayIcon();
    ShowTrayIcon(Controls.btnReconhecer->Checked(), TrayTipText());
}

void TFormLogic::AbrirPainel1Click() {
    RemoveTrayIcon();
    ShowWindowInFront();
}

}  // namespace zel
