#include "langmodel/Vocabulary.h"

#include "commands/TextUtil.h"
#include "langmodel/BundleSummary.h"

namespace zel {

void CountRecognizerVocabulary(TParserPortugues& parser, const TListaComandos& comandos,
                               const TListaComandos* modificadores, const std::vector<std::string>& ditado) {
    parser.ResetCounts();
    // A phrase goes whole, blanks and all: the builder gives it the written
    // form the recognizer reads as one word.
    for (const TComando& c : comandos) {
        if (c.Cmd.empty()) continue;
        const std::string& p = c.Cmd;
        parser.AddUnigram(p);
        parser.AddBigram("<s> " + p);
        parser.AddBigram(p + " </s>");
        parser.AddTrigram("<s> " + p + " </s>");
        parser.AddDictionaryEntry(p, c.Fonemas);
    }
    if (modificadores) {
        for (const TComando& m : *modificadores) {
            if (m.Cmd.empty()) continue;
            parser.AddUnigram(m.Cmd);
            parser.AddBigram("<s> " + m.Cmd);
            parser.AddDictionaryEntry(m.Cmd, m.Fonemas);
        }
    }
    // The memo holds a bundle: count lines up to "### ENDUBT ###", dictionary
    // lines from there up to "### ENDDIC ###". Sentences typed or pasted into
    // the memo instead are counted as a corpus's, rather than passed over.
    if (IsBundle(ditado)) {
        parser.AddBundleLines(ditado);
        return;
    }
    for (const std::string& line : ditado)
        if (!Trim(line).empty()) parser.AddSentence(line);
}

}  // namespace zel
