// The "menu" page's profile and the "ditado" page's text.
#include "commands/TextFile.h"
#include "form/FormLogic.h"

namespace zel {

void TFormLogic::ResetProfileWindowPart() {
    ShowPage(kPageMenu);
    Controls.lbxCmds->FillSelected(-1);
    lbxCmdsClick();
    Controls.mmoDitado->FillLines({});
}

void TFormLogic::btnCarregarProfileClick() {
    const std::optional<std::string> file = Controls.dlgAbrirProfile->Run();
    if (!file) return;
    LoadProfile(Profile, *file);
    SetDitadoLines(Profile.Ditado);
    Controls.lblProfile->SetText(ProfileCaption(*file));
}

void TFormLogic::btnSalvarProfileClick() {
    const std::optional<std::string> file = Controls.dlgSalvarProfile->Run();
    if (!file) return;
    Profile.Ditado = DitadoLines();
    SaveProfile(Profile, *file);
    Controls.lblProfile->SetText(ProfileCaption(*file));
}

std::vector<std::string> TFormLogic::DitadoLines() const { return Controls.mmoDitado->Lines(); }

void TFormLogic::SetDitadoLines(const std::vector<std::string>& lines) { Controls.mmoDitado->FillLines(lines); }

void TFormLogic::btnLimparDitadoClick() { Controls.mmoDitado->FillLines({}); }

void TFormLogic::btnCarregarDitadoClick() {
    const std::optional<std::string> file = Controls.dlgAbrirDitado->Run();
    if (!file) return;
    const std::string& name = *file;
    // The extension: from the last full stop of the name on, compared byte for byte.
    const size_t folder = name.find_last_of(kFolderSeparators);
    const std::string base = name.substr(folder == std::string::npos ? 0 : folder + 1);
    const size_t dot = base.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
    if (ext == ".zlm") {
        SetDitadoLines(ReadTextLines(name));
        return;
    }
    services_.LoadDictationCorpus(name, PastaExe);
    SetDitadoLines(ReadLines(PastaExe + "zellm.zlm"));
}

}  // namespace zel
