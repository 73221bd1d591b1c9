// The "menu" page's profile and the "ditado" page's text.
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "form/ErrorGuard.h"
#include "langmodel/BundleSummary.h"
#include "form/FormLogic.h"

namespace zel {

void TFormLogic::ResetProfileWindowPart() {
    ShowPage(kPageMenu);
    Controls.lbxCmds->FillSelected(-1);
    lbxCmdsClick();
    Controls.mmoDitado->FillLines({});
}

namespace {

// Everything of a profile its file keeps, to tell whether it changed.
std::string ProfileContents(const TListaComandos& comandos, const std::vector<std::string>& ditado) {
    std::string s;
    for (int32_t i = 0; i < comandos.Count(); ++i) {
        const TComando& c = comandos[i];
        s += c.Cmd + '\x1F' + std::to_string(c.Acao) + '\x1F' + c.Args + '\x1F' + c.Fonemas + '\x1E';
    }
    s += '\x1D';
    for (const std::string& line : ditado) s += line + '\x1E';
    return s;
}

}  // namespace

bool TFormLogic::ProfileChanged() const {
    return ProfileContents(Profile.Comandos, DitadoLines()) != savedProfile_;
}

void TFormLogic::ProfileSaved(const std::string& file) {
    profileFile_ = file;
    savedProfile_ = ProfileContents(Profile.Comandos, DitadoLines());
}

bool TFormLogic::ConfirmProfileChanges() {
    if (!ProfileChanged()) return true;
    // The name as "Profile atual: NAME" shows it.
    const std::string caption = profileFile_.empty() ? std::string() : ProfileCaption(profileFile_);
    const std::string name = caption.empty() ? caption : caption.substr(caption.find(": ") + 2);
    const TAnswer answer = Ask(name.empty() ? Utf8ToCp1252("Salvar as alterações no profile novo?")
                                            : Utf8ToCp1252("Salvar as alterações em ") + name + "?");
    if (answer == TAnswer::Cancel) return false;
    if (answer == TAnswer::No) return true;
    std::optional<std::string> file = profileFile_;
    if (file->empty()) file = Controls.dlgSalvarProfile->Run();
    if (!file) return false;
    Profile.Ditado = DitadoLines();
    SaveProfile(Profile, *file);
    ProfileSaved(*file);
    return true;
}

void TFormLogic::btnCarregarProfileClick() {
    if (!ConfirmProfileChanges()) return;
    const std::optional<std::string> file = Controls.dlgAbrirProfile->Run();
    if (!file) return;
    LoadProfile(Profile, *file);
    SetDitadoLines(Profile.Ditado);
    Controls.lblProfile->SetText(ProfileCaption(*file));
    ProfileSaved(*file);
}

void TFormLogic::btnSalvarProfileClick() {
    const std::optional<std::string> file = Controls.dlgSalvarProfile->Run();
    if (!file) return;
    Profile.Ditado = DitadoLines();
    SaveProfile(Profile, *file);
    Controls.lblProfile->SetText(ProfileCaption(*file));
    ProfileSaved(*file);
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
    const std::vector<std::string> bundle = ReadLines(PastaExe + "zellm.zlm");
    SetDitadoLines(bundle);
    // What was learnt, so that a user sees the corpus was the one meant.
    const TBundleSummary learnt = SummarizeBundle(bundle);
    auto many = [](int64_t n, const char* one) { return std::to_string(n) + " " + one + (n == 1 ? "" : "s"); };
    ShowMessageUtf8("Ditado carregado: " + many(learnt.Sentences, "frase") + ", " + many(learnt.Words, "palavra") + ", " +
                    many(learnt.Pairs, "bigrama") + " e " + many(learnt.Triples, "trigrama") + ".");
}

}  // namespace zel
