#include "actions/Heard.h"

#include "actions/Actions.h"
#include "commands/Comandos.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"

namespace zel {

namespace {

const char* const kIgnored = "ignorado: comandos desativados";

std::string DescribeCommand(const TActionRecord& r) {
    if (!r.Ran) return kIgnored;
    std::string what;
    switch (r.Acao) {
        case tcTecla:
            what = r.Args;
            break;
        case tcExecucao: {
            // The program's own name says enough; its folder would crowd the line.
            std::string program = LaunchOf(r.Args).Program;
            what = "executa " + program.substr(program.find_last_of(kFolderSeparators) == std::string::npos
                                                   ? 0
                                                   : program.find_last_of(kFolderSeparators) + 1);
            break;
        }
        case tcDigitacao:
            what = "digita \"" + SplitDigitacaoArgs(r.Args).Texto + "\"";
            break;
        case tcAtivacao:
            what = r.AtivoAfter ? "comandos ativados" : "comandos desativados";
            break;
        default:
            what = r.Args;
            break;
    }
    // "×" (0xD7): the number of times a number word asked for.
    if (r.Repeat != 1) what += " \xD7" + std::to_string(r.Repeat);
    return what;
}

}  // namespace

std::string DescribeActions(const TActionRecords& records) {
    std::string out;
    std::string previous;
    for (const TActionRecord& r : records) {
        std::string what;
        switch (r.Kind) {
            case TActionKind::Command: what = DescribeCommand(r); break;
            case TActionKind::Typed: what = "digitado"; break;
            case TActionKind::Ignored: what = kIgnored; break;
            case TActionKind::Enter: what = "ENTER"; break;
        }
        // "bom dia" typed word by word is one typing to the user.
        const bool merges = r.Kind == TActionKind::Typed || r.Kind == TActionKind::Ignored ||
                            (r.Kind == TActionKind::Command && !r.Ran);
        if (merges && what == previous) continue;
        if (!out.empty()) out += ", ";
        out += what;
        previous = what;
    }
    return out.empty() ? std::string("nenhuma a\xE7\xE3o") : out;
}

std::string RejectedOutcome(int32_t confidence, bool otherCommands) {
    return "rejeitado (" + std::to_string(confidence) + ")" +
           (otherCommands ? std::string(": n\xE3o confere com os comandos") : std::string());
}

std::string ErrorOutcome(const std::string& message) { return "erro: " + message; }

std::string HeardLine(const THeardEntry& entry) {
    std::string line = Cp1252ToUtf8(entry.Sentence) + " \u2192 " + Cp1252ToUtf8(entry.Outcome);
    if (entry.Accepted) line += " (" + std::to_string(entry.Confidence) + ")";
    return line;
}

std::string HistoryLine(const THeardEntry& entry) {
    return entry.Time + "\t" + Cp1252ToUtf8(entry.Sentence) + "\t" + std::to_string(entry.Confidence) + "\t" +
           (entry.Accepted ? "aceito\t" + Cp1252ToUtf8(entry.Outcome) : std::string("rejeitado\t"));
}

void THeardList::Add(THeardEntry entry) {
    entries_.push_front(std::move(entry));
    while (entries_.size() > kMaxHeard) entries_.pop_back();
}

}  // namespace zel
