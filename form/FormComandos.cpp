// The "comandos" page: the list of the profile's commands and the editor of
// the selected one. Every change is written into the command at once.
#include "actions/NumericModifiers.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "form/FormLogic.h"
#include "langmodel/Confusability.h"
#include "langmodel/PronunciationAlternates.h"

namespace zel {

void TFormLogic::SetEditorEnabled(bool enabled) { Controls.pnlEditarCmd->SetEnabled(enabled); }

void TFormLogic::FillCommandList() {
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(Profile.Comandos.Count()));
    for (const TComando& c : Profile.Comandos) rows.push_back(c.Cmd);
    Controls.lbxCmds->FillRows(rows);
}

void TFormLogic::lbxCmdsClick() {
    const int32_t row = Controls.lbxCmds->Selected();
    if (row < 0 || row >= Profile.Comandos.Count()) {
        SetEditorEnabled(false);
        Controls.ntbArgs->SetVisible(false);
        Profile.ComandoAtual = -1;
        return;
    }
    Profile.ComandoAtual = row;
    SetEditorEnabled(true);
    Controls.ntbArgs->SetVisible(true);
    RefreshCommandEditor();
}

void TFormLogic::RefreshCommandEditor() {
    const TFormControls& k = Controls;
    const int32_t selected = k.lbxCmds->Selected();
    FillCommandList();
    if (Profile.ComandoAtual < 0) {
        k.lblParecido->SetText("");
        return;
    }
    try {
        const TComando c = Profile.Comandos[Profile.ComandoAtual];
        k.edtCmd->Fill(c.Cmd);
        k.edtFonemas->Fill(c.Fonemas);
        ShowSoundAlikes();
        // A type outside 0..3 (a hand-edited profile) keeps its code: no item
        // is chosen and the type change below leaves it alone.
        k.rdgTipoCmd->FillItemIndex(c.Acao <= tcDigitacao ? c.Acao : -1);
        // The type change shows the argument page and fills it.
        rdgTipoCmdClick();
        k.lbxCmds->FillSelected(selected);
    } catch (const std::exception&) {
        Profile.ComandoAtual = -1;
        k.lbxCmds->FillSelected(-1);
        FillCommandList();
    }
}

void TFormLogic::ShowArguments(uint8_t acao, const std::string& args) {
    // Filling the boxes writes nothing back into the command.
    const TFormControls& k = Controls;
    switch (acao) {
    case tcExecucao: {
        TExecArgs a = SplitExecArgs(args);
        std::string params;
        for (size_t i = 0; i < a.Parameters.size(); ++i) params += (i ? " " : "") + a.Parameters[i];
        k.edtArgProg->Fill(a.Program);
        k.edtArgPar->Fill(params);
        break;
    }
    case tcTecla:
        k.edtArgTecla->Fill(args);
        break;
    case tcDigitacao: {
        TDigitacaoArgs a = SplitDigitacaoArgs(args);
        k.chbArgEspaco->Fill(a.MandarEspaco);
        k.chbArgEnter->Fill(a.MandarEnter);
        k.edtArgTexto->Fill(a.Texto);
        break;
    }
    default:
        break;
    }
}

void TFormLogic::rdgTipoCmdClick() {
    const int32_t index = Controls.rdgTipoCmd->ItemIndex();
    if (index < 0) return;
    Controls.ntbArgs->ShowPage(index);
    if (Profile.ComandoAtual < 0) return;
    TComando& c = Profile.Comandos.At(Profile.ComandoAtual);
    c.Acao = static_cast<uint8_t>(index);
    // The arguments are read under the new type: the page shows what the
    // command now does, never the text of a command viewed before.
    ShowArguments(c.Acao, c.Args);
}

void TFormLogic::edtCmdChange() {
    if (Profile.ComandoAtual < 0) return;
    const std::string phrase = Controls.edtCmd->Text();
    Profile.Comandos.At(Profile.ComandoAtual).Cmd = phrase;
    // The pronunciation follows the phrase at every keystroke.
    Controls.edtFonemas->Fill(AsciiUpper(services_.TextToPhonemes(phrase)));
    edtFonemasChange();
}

void TFormLogic::edtFonemasChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Fonemas = Controls.edtFonemas->Text();
    ShowSoundAlikes();
}

void TFormLogic::ShowSoundAlikes() {
    if (!numerosDoAviso_) {
        numerosDoAviso_.emplace();
        try {
            LoadNumericModifiers(*numerosDoAviso_, PastaExe + "modnum.ini");
        } catch (const std::exception&) {
            // A broken table only means no number words in the warning.
        }
    }
    std::string text = SoundAlikeWarning(Profile.Comandos, Profile.ComandoAtual, *numerosDoAviso_);
    if (text.empty()) text = RestoredLettersNote(Profile.Comandos.At(Profile.ComandoAtual));
    Controls.lblParecido->SetText(text);
}

std::string TFormLogic::RestoredLettersNote(const TComando& c) {
    // The letter rules drop â, à, ô and the accented capitals; the recognizer
    // also hears such a phrase with them restored, as long as its
    // pronunciation is the generated one.
    const std::string restored = WithDroppedLettersRestored(c.Cmd);
    if (restored == c.Cmd) return {};
    const std::string generated = NormalizePhones(AsciiUpper(services_.TextToPhonemes(c.Cmd)));
    const std::string alternate = NormalizePhones(AsciiUpper(services_.TextToPhonemes(restored)));
    if (alternate == generated || NormalizePhones(c.Fonemas) != generated) return {};
    return Utf8ToCp1252("Ouvido também como: ") + alternate;
}

void TFormLogic::edtArgProgChange() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = JoinExecArgs(Controls.edtArgProg->Text(), Controls.edtArgPar->Text());
}

void TFormLogic::edtArgTeclaKeyUp() {
    if (Profile.ComandoAtual < 0) return;
    Profile.Comandos.At(Profile.ComandoAtual).Args = Controls.edtArgTecla->Text();
}

void TFormLogic::edtArgTextoChange() {
    if (Profile.ComandoAtual < 0) return;
    const TFormControls& k = Controls;
    Profile.Comandos.At(Profile.ComandoAtual).Args =
        JoinDigitacaoArgs(k.chbArgEspaco->Checked(), k.chbArgEnter->Checked(), k.edtArgTexto->Text());
}

void TFormLogic::SpeedButton1Click() { services_.ShellOpen(PastaExe + "phoneset.txt"); }

void TFormLogic::SpeedButton7Click() {
    // The program is profile text: the name as Windows-1252 writes it.
    const std::optional<std::string> file = Controls.dlgAbrirProg->Run();
    if (file) Controls.edtArgProg->SetText(FileNameForDisplay(*file));
}

void TFormLogic::btnAdicionarClick() {
    Profile.Comandos.AppendNew();
    RefreshCommandEditor();
    Controls.lbxCmds->FillSelected(Profile.Comandos.Count() - 1);
    lbxCmdsClick();
}

void TFormLogic::btnRemoverClick() {
    const int32_t row = Controls.lbxCmds->Selected();
    if (row < 0 || row >= Profile.Comandos.Count()) return;
    Profile.ComandoAtual = -1;
    Profile.Comandos.RemoveAt(row);
    Controls.lbxCmds->FillSelected(-1);
    lbxCmdsClick();
    RefreshCommandEditor();
}

}  // namespace zel
