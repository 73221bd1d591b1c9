// Start-up and shutdown: config.ini is read at start and written at exit.

#include "app/Form1.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>

#include <filesystem>

#include "app/ErrorGuard.h"
#include "app/FormParts.h"
#include "app/KeyCaptureEdit.h"
#include "commands/IniFile.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

const char* const kSection = "geral";

const char* const kTipoCmdHint =
    "Execução: Executa um programa\n"
    "Tecla: Envia uma combinação do teclado\n"
    "Ativação: Habilita o reconhecimento de comandos\n"
    "Digitação: Envia um texto como se o usuário tivesse digitado";

}  // namespace

void TForm1::FormCreate() {
    // Without the hook library the program still works (no activation key,
    // no indicator): say so and go on, settings included.
    try {
        services_.LoadHookLibrary();
        HookLoaded = true;
    } catch (const std::exception& e) {
        ShowException(e);
    }
    Guard([this] {
        BuildWindowRegion();
        // PastaExe was given by the program entry (the executable's folder).
        ShowPage(pageApres);
        ResetProfile(Profile);
        ReadSettings();
        rdgTipoCmd->setToolTip(QString::fromUtf8(kTipoCmdHint));
    });
    // Centred on the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm1::ReadSettings() {
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
    Profile.TempoTecla = ini.ReadInteger(kSection, "tempotecla", 10);
    edtTempoTeclas->setText(QString::number(Profile.TempoTecla));
    Profile.TempoAtivacao = ini.ReadInteger(kSection, "tempoativacao", 5);
    edtTempoAtivo->setText(QString::number(Profile.TempoAtivacao));
    {
        QSignalBlocker b1(tbConfianca), b2(tbSampling);
        tbConfianca->setValue(ini.ReadInteger(kSection, "confianca", 50));  // the slider clamps to 0..100
        // The microphone records at this rate; the recognizer converts it to
        // the 16000 Hz its acoustic model was made for.
        tbSampling->setValue(ini.ReadInteger(kSection, "sampling", kDefaultSampling));  // clamped to 0..5
    }
    tbConfiancaChange();
    tbSamplingChange();
    edtSomAtivacao->setText(Q(ini.ReadString(kSection, "somativacao", PastaExe + "beep.wav")));
    const QString profiles = Q(PastaExe + "profiles/");
    dlgAbrirProfile->setDirectory(profiles);
    dlgSalvarProfile->setDirectory(profiles);
    edtTeclaAtivacao->setText(Q(ini.ReadString(kSection, "teclaativacao", "")));
    chbAtivaToggle->setChecked(ini.ReadBool(kSection, "ativatoggle", false));
    chbMostrarIndicador->setChecked(ini.ReadBool(kSection, "mostrarindicador", true));
    chbMultiCmd->setChecked(ini.ReadBool(kSection, "multicmd", true));
    chbModNum->setChecked(ini.ReadBool(kSection, "modnum", true));
    chbModoAdv->setChecked(ini.ReadBool(kSection, "modoadv", true));
    SettingsRead = readable;
}

void TForm1::WriteSettings() {
    const std::string file = PastaExe + "config.ini";
    // Other sections and keys of the file stay as they are.
    TIniDocument ini = TIniDocument::LoadOrEmpty(file);
    auto flag = [&ini](const char* key, bool value) { ini.WriteString(kSection, key, value ? "1" : "0"); };
    ini.WriteInteger(kSection, "tempotecla", Profile.TempoTecla);
    ini.WriteInteger(kSection, "tempoativacao", Profile.TempoAtivacao);
    ini.WriteInteger(kSection, "sampling", tbSampling->value());
    ini.WriteInteger(kSection, "confianca", tbConfianca->value());
    ini.WriteString(kSection, "somativacao", C(edtSomAtivacao->text()));
    ini.WriteString(kSection, "teclaativacao", C(edtTeclaAtivacao->text()));
    flag("ativatoggle", chbAtivaToggle->isChecked());
    flag("mostrarindicador", chbMostrarIndicador->isChecked());
    flag("multicmd", chbMultiCmd->isChecked());
    flag("modnum", chbModNum->isChecked());
    flag("modoadv", chbModoAdv->isChecked());
    // One atomic write: the old file stays whole when it cannot be replaced.
    ini.Save(file);
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (!SettingsRead) return;  // never overwrite settings that were not read
    Guard([this] { WriteSettings(); });
}

}  // namespace zel
