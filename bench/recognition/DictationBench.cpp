// Dictation: sentences of the dictation text spoken by voices never tuned on,
// and what would be typed under each acceptance rule.
//
// The profile holds the new-vocabulary commands and, as its dictation text,
// 300 sentences of fortunes-br (typed into the dictation box, as a user
// would). The tuning speakers say sentences of one half of the text, the
// held-out speakers of the other half; six clips of music and noise follow
// each set. Everything is decoded once with no threshold, and every rule is
// applied to the same results:
//   typed word error = (substitutions + deletions + insertions) / reference
//   words, where a rejected sentence types nothing (all its words deleted);
//   "decoder" is the error with every result accepted. A clip "typed" is one
//   during which text was typed (a command it set off is heldout_bench's).
//
//   dictation_bench [--set tuning|heldout|both] [--per-voice N] [--dump FILE]
//
// Speech is kept in $ZEL_BENCH_DIR/speech as for heldout_bench.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "bench/recognition/HeldOutSpeech.h"
#include "commands/Cp1252.h"
#include "commands/TextUtil.h"
#include "actions/Interpretation.h"
#include "actions/NumericModifiers.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSource.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/DictationAcceptance.h"
#include "recognition/SphinxControl.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
using namespace zelbench;

namespace {

std::vector<std::string> Words(const std::string& utf8) {
    std::istringstream in(NameFold(Utf8ToCp1252(utf8)));
    std::vector<std::string> out;
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// Word-level edit distance.
int Distance(const std::vector<std::string>& ref, const std::vector<std::string>& hyp) {
    std::vector<int> row(hyp.size() + 1);
    for (size_t j = 0; j <= hyp.size(); ++j) row[j] = static_cast<int>(j);
    for (size_t i = 1; i <= ref.size(); ++i) {
        int diag = row[0];
        row[0] = static_cast<int>(i);
        for (size_t j = 1; j <= hyp.size(); ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (ref[i - 1] == hyp[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[hyp.size()];
}

struct TItem {
    std::string Ref;  // empty: a clip of music or noise
    std::vector<TDecoded> Results;
    std::string Command;  // the mixed set: the command said right after the sentence
};

using TRule = std::function<bool(const TUtteranceScore&)>;

struct TRuleTally {
    int Errors = 0, RefWords = 0, Exact = 0, Sentences = 0, ClipsTyped = 0, Clips = 0;
};

TRuleTally Apply(const std::vector<TItem>& items, const TRule& accept) {
    TRuleTally t;
    for (const TItem& item : items) {
        std::string typed;
        bool dictated = false;  // text typed, not a command run
        for (const TDecoded& r : item.Results)
            if (!r.Text.empty() && accept(r.Score)) {
                typed += (typed.empty() ? "" : " ") + r.Text;
                dictated |= r.Score.Dictation;
            }
        if (item.Ref.empty()) {
            ++t.Clips;
            t.ClipsTyped += dictated;
            continue;
        }
        const std::vector<std::string> ref = Words(item.Ref), hyp = Words(typed);
        const int d = Distance(ref, hyp);
        t.Errors += d;
        t.RefWords += static_cast<int>(ref.size());
        t.Exact += d == 0;
        ++t.Sentences;
    }
    return t;
}

std::vector<TItem> RunSet(const std::vector<TSpeaker>& speakers, const std::vector<std::string>& sentences,
                          size_t perVoice, const TProfileFiles& prof, const std::string& dir, std::FILE* dump,
                          const std::string& setName) {
    std::vector<TItem> items;
    for (size_t v = 0; v < speakers.size(); ++v) {
        std::vector<std::string> said;
        for (size_t k = 0; k < perVoice; ++k) said.push_back(sentences[(v * perVoice + k) % sentences.size()]);
        const std::string wav = dir + "/dictation.wav";
        const auto spans = WriteSpokenPhrases(said, speakers[v], wav);
        const std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, 0, {}, prof.Vocabulary);
        const auto per = ResultsPerItem(results, spans);
        for (size_t k = 0; k < said.size(); ++k) {
            TItem item{said[k], {}, {}};
            for (const TDecoded* r : per[k]) item.Results.push_back(*r);
            items.push_back(item);
        }
        std::printf("  %s: %zu sentences\n", speakers[v].Label().c_str(), said.size());
        std::fflush(stdout);
    }
    // Music and noise between pauses, each under the noise of a voice of the set.
    std::vector<int16_t> all;
    std::vector<std::pair<double, double>> spans;
    for (int k = 0; k < 6; ++k) {
        const TSpeaker& sp = speakers[static_cast<size_t>(k) % speakers.size()];
        int32_t rate = 0;
        const std::vector<int16_t> clip = ReadWavSamples(ClipFile(k), rate);
        std::vector<int16_t> piece(static_cast<size_t>(0.6 * 16000), 0);
        piece.insert(piece.end(), clip.begin(), clip.end());
        piece.insert(piece.end(), static_cast<size_t>(1.2 * 16000), 0);
        AddNoise(piece, sp.Noise, Rms(clip), sp.SnrDb, 77 + static_cast<uint32_t>(k));
        const double start = static_cast<double>(all.size()) / 16000;
        all.insert(all.end(), piece.begin(), piece.end());
        spans.push_back({start, static_cast<double>(all.size()) / 16000});
    }
    WriteWav(dir + "/clips.wav", all, 16000);
    const auto clipResults = DecodeFile(prof.ArgFile, dir + "/clips.wav", 0, {}, prof.Vocabulary);
    for (const auto& heard : ResultsPerItem(clipResults, spans)) {
        TItem item{"", {}, {}};
        for (const TDecoded* r : heard) item.Results.push_back(*r);
        items.push_back(item);
    }
    if (dump)
        for (const TItem& item : items)
            for (const TDecoded& r : item.Results)
                std::fprintf(dump, "%s\t%s\t%s\t%d\t%.3f\t%.3f\t%.3f\t%d\t%d\n", setName.c_str(),
                             item.Ref.empty() ? "(clip)" : item.Ref.c_str(), r.Text.c_str(), r.Score.Confidence,
                             r.Score.AcousticPerFrame, r.Score.MeanAcousticPerFrame, r.Score.MinWordPosterior,
                             r.Score.Words, r.Score.Dictation ? 1 : 0);
    return items;
}

// What the program does with the accepted results: every result through
// the interpretation (commands active, several commands, number words), on a
// recording desktop: the words typed, the commands run.
struct TActed {
    int Errors = 0, RefWords = 0;            // typed word error of the dictated sentences
    int CommandsRun = 0, Sentences = 0;      // commands run while a dictated sentence played
    int NumberWords = 0, NumberWordsTyped = 0;  // the text's number words, and those typed
    int Mixed = 0, MixedRun = 0, MixedTyped = 0;  // sentence + command: the command ran, was typed
};

TActed Interpret(const std::vector<TItem>& items, const TListaComandos& comandos, int32_t threshold) {
    TEventLog log;
    TFakeDesktop desktop(log);
    TFakeTimer timer(log);
    TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.Prefs.ModoAdv = false;
    LoadNumericModifiers(ctx.Modificadores, std::string(ZEL_RUNTIME_DIR) + "/modnum.ini");
    TActed a;
    for (const TItem& item : items) {
        if (item.Ref.empty()) continue;
        std::string typed;
        int run = 0;
        bool commandRan = false, commandTyped = false;
        for (const TDecoded& r : item.Results) {
            if (r.Text.empty() || !AcceptResult(r.Score, threshold)) continue;
            ctx.Ativo = true;
            for (const TActionRecord& rec : HandleSentence(ctx, SentenceFromResult(r.Score.Text))) {
                if (rec.Kind == TActionKind::Typed) {
                    typed += (typed.empty() ? "" : " ") + Cp1252ToUtf8(rec.Word);
                    commandTyped |= !item.Command.empty() && NameFold(rec.Word) == NameFold(Utf8ToCp1252(item.Command));
                } else if (rec.Kind == TActionKind::Command) {
                    ++run;
                    commandRan |= !item.Command.empty() && NameFold(rec.Word) == NameFold(Utf8ToCp1252(item.Command));
                }
            }
        }
        if (!item.Command.empty()) {
            ++a.Mixed;
            a.MixedRun += commandRan;
            a.MixedTyped += commandTyped;
            continue;
        }
        const std::vector<std::string> ref = Words(item.Ref), hyp = Words(typed);
        a.Errors += Distance(ref, hyp);
        a.RefWords += static_cast<int>(ref.size());
        a.CommandsRun += run;
        ++a.Sentences;
        for (const std::string& w : ref) {
            if (FindNumericModifier(ctx, w) < 0) continue;
            ++a.NumberWords;
            a.NumberWordsTyped += std::count(hyp.begin(), hyp.end(), w) > 0;
        }
    }
    return a;
}

void Report(const std::string& setName, const std::vector<TItem>& items, int32_t threshold) {
    const std::vector<std::pair<std::string, TRule>> rules = {
        {"decoder (every result typed)", [](const TUtteranceScore&) { return true; }},
        {"worst word (the command rule)",
         [&](const TUtteranceScore& s) {
             return TSphinxControl::ConfidenceFromAcousticPerFrame(s.AcousticPerFrame) >= threshold;
         }},
        {"program now", [&](const TUtteranceScore& s) { return AcceptResult(s, threshold); }},
    };
    std::printf("%s, threshold %d:\n", setName.c_str(), threshold);
    for (const auto& [name, rule] : rules) {
        const TRuleTally t = Apply(items, rule);
        std::printf("  %-32s word error %5.1f%% (%d/%d), exact %d/%d, clips typed %d/%d\n", name.c_str(),
                    100.0 * t.Errors / std::max(1, t.RefWords), t.Errors, t.RefWords, t.Exact, t.Sentences,
                    t.ClipsTyped, t.Clips);
    }
}

void ReportActed(const std::vector<TItem>& items, const TListaComandos& comandos, int32_t threshold) {
    const TActed a = Interpret(items, comandos, threshold);
    std::printf("  what the program did: typed word error %.1f%% (%d/%d); commands run during dictated sentences %d "
                "(%d sentences); the text's number words typed %d/%d; a command said in the same breath after a "
                "sentence: run %d/%d, typed as text %d/%d\n",
                100.0 * a.Errors / std::max(1, a.RefWords), a.Errors, a.RefWords, a.CommandsRun, a.Sentences,
                a.NumberWordsTyped, a.NumberWords, a.MixedRun, a.Mixed, a.MixedTyped, a.Mixed);
}

// Each voice says a few sentences with a command of the profile right after,
// in one breath ("… flores do jardim imprimir").
std::vector<TItem> RunMixed(const std::vector<TSpeaker>& speakers, const std::vector<std::string>& sentences,
                            const TProfileFiles& prof, const std::string& dir) {
    const std::vector<std::string> commands = NewVocabulary();
    std::vector<TItem> items;
    for (size_t v = 0; v < speakers.size(); ++v) {
        std::vector<std::string> said, cmds;
        for (size_t k = 0; k < 3; ++k) {
            const size_t n = v * 3 + k;
            cmds.push_back(commands[(n * 7) % commands.size()]);
            said.push_back(sentences[(n * 11 + 5) % sentences.size()] + " " + cmds.back());
        }
        const std::string wav = dir + "/mixed.wav";
        const auto spans = WriteSpokenPhrases(said, speakers[v], wav);
        const std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, 0, {}, prof.Vocabulary);
        const auto per = ResultsPerItem(results, spans);
        for (size_t k = 0; k < said.size(); ++k) {
            TItem item{said[k], {}, cmds[k]};
            for (const TDecoded* r : per[k]) item.Results.push_back(*r);
            items.push_back(item);
        }
    }
    return items;
}

}  // namespace

int main(int argc, char** argv) {
    std::string which = "both";
    size_t perVoice = 12;
    std::FILE* dump = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--set" && i + 1 < argc) which = argv[++i];
        else if (a == "--per-voice" && i + 1 < argc) perVoice = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--dump" && i + 1 < argc) dump = std::fopen(argv[++i], "w");
        else {
            std::fprintf(stderr, "usage: dictation_bench [--set tuning|heldout|both] [--per-voice N] [--dump FILE]\n");
            return 1;
        }
    }
    const std::vector<std::string> tuning = OrdinarySentences(false, 150), heldOut = OrdinarySentences(true, 150);
    std::vector<std::string> ditado;
    for (const auto& s : tuning) ditado.push_back(Utf8ToCp1252(s));
    for (const auto& s : heldOut) ditado.push_back(Utf8ToCp1252(s));
    TListaComandos mine;
    for (const auto& p : NewVocabulary()) mine.Append(SpokenCommand(p));
    TTempDir dir;
    const TProfileFiles prof = Generate(dir.File("profile/"), "dictation", mine, {}, ditado);
    std::printf("dictation text: %zu sentences; commands: %d\n", ditado.size(), mine.Count());
    auto run = [&](const std::string& name, const std::vector<TSpeaker>& speakers, const std::vector<std::string>& text,
                   size_t each) {
        std::printf("== %s speakers\n", name.c_str());
        std::vector<TItem> items = RunSet(speakers, text, each, prof, dir.File(""), dump, name);
        Report(name, items, 50);
        const std::vector<TItem> mixed = RunMixed(speakers, text, prof, dir.File(""));
        items.insert(items.end(), mixed.begin(), mixed.end());
        ReportActed(items, mine, 50);
    };
    if (which != "heldout") run("tuning", TuningSpeakers(), tuning, perVoice);
    if (which != "tuning") run("held-out", HeldOutSpeakers(), heldOut, perVoice * 5 / 8);
    if (dump) std::fclose(dump);
    return 0;
}
