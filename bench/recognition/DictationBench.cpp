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
// New sentences made of corpus words: the other lines of fortunes-br cut
// the same way (4 to 12 words), not among the 300, each of whose words is a
// word of the 300; in file order, alternately to the tuning and the held-out
// set. They are scored apart from the corpus sentences.
//
// --trained: then each voice is trained as a user would train it (the
// shipped prompt sentences in that voice through `zelcmd train`, as
// training_bench does by default), the profile is made again in the trained
// folder (switch-on loads its voz/) and the voice's corpus and new sentences
// are decoded again with the adapted model.
//
//   dictation_bench [--set tuning|heldout|both] [--per-voice N] [--new-per-voice N]
//                   [--voices N] [--trained] [--dump FILE]
//
// --voices N keeps the first N voices of each set; --new-per-voice N new
// sentences a tuning voice (8 by default), half as many a held-out voice.
//
// Speech is kept in $ZEL_BENCH_DIR/speech as for heldout_bench.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "bench/recognition/HeldOutSpeech.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "actions/Interpretation.h"
#include "actions/NumericModifiers.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSource.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/DictationAcceptance.h"
#include "recognition/SphinxControl.h"
#include "recognition/WavWriter.h"
#include "recognition/training/VoiceTraining.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
using namespace zelbench;
namespace fs = std::filesystem;

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

// The sentences said by the voice, decoded with no threshold.
std::vector<TItem> DecodeSentences(const std::vector<std::string>& said, const TSpeaker& sp, const TProfileFiles& prof,
                                   const std::string& dir) {
    const std::string wav = dir + "/dictation.wav";
    const auto spans = WriteSpokenPhrases(said, sp, wav);
    const std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, 0, {}, prof.Vocabulary);
    const auto per = ResultsPerItem(results, spans);
    std::vector<TItem> items;
    for (size_t k = 0; k < said.size(); ++k) {
        TItem item{said[k], {}, {}};
        for (const TDecoded* r : per[k]) item.Results.push_back(*r);
        items.push_back(item);
    }
    return items;
}

// The n sentences voice v says, taken in turn from the list.
std::vector<std::string> SaidBy(const std::vector<std::string>& sentences, size_t v, size_t n) {
    std::vector<std::string> said;
    for (size_t k = 0; k < n && !sentences.empty(); ++k) said.push_back(sentences[(v * n + k) % sentences.size()]);
    return said;
}

void Dump(std::FILE* dump, const std::string& setName, const std::vector<TItem>& items) {
    if (!dump) return;
    for (const TItem& item : items)
        for (const TDecoded& r : item.Results)
            std::fprintf(dump, "%s\t%s\t%s\t%d\t%.3f\t%.3f\t%.3f\t%d\t%d\n", setName.c_str(),
                         item.Ref.empty() ? "(clip)" : item.Ref.c_str(), r.Text.c_str(), r.Score.Confidence,
                         r.Score.AcousticPerFrame, r.Score.MeanAcousticPerFrame, r.Score.MinWordPosterior,
                         r.Score.Words, r.Score.Dictation ? 1 : 0);
}

// Corpus sentences and new sentences of the voices, and the clips of music
// and noise.
struct TSetItems {
    std::vector<TItem> Corpus, New, Clips;
};

TSetItems RunSet(const std::vector<TSpeaker>& speakers, const std::vector<std::string>& sentences, size_t perVoice,
                 const std::vector<std::string>& fresh, size_t newPerVoice, const TProfileFiles& prof,
                 const std::string& dir, std::FILE* dump, const std::string& setName) {
    TSetItems set;
    for (size_t v = 0; v < speakers.size(); ++v) {
        const std::vector<TItem> corpus = DecodeSentences(SaidBy(sentences, v, perVoice), speakers[v], prof, dir);
        const std::vector<TItem> made = DecodeSentences(SaidBy(fresh, v, newPerVoice), speakers[v], prof, dir);
        set.Corpus.insert(set.Corpus.end(), corpus.begin(), corpus.end());
        set.New.insert(set.New.end(), made.begin(), made.end());
        std::printf("  %s: %zu corpus sentences, %zu new\n", speakers[v].Label().c_str(), corpus.size(), made.size());
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
        set.Clips.push_back(item);
    }
    Dump(dump, setName, set.Corpus);
    Dump(dump, setName + "/new", set.New);
    Dump(dump, setName, set.Clips);
    return set;
}


// Each voice trained the way a user trains it (`zelcmd train` on the
// shipped prompts in that voice), the profile made again in the trained
// folder, and the voice's sentences decoded with the adapted model.
TSetItems RunTrained(const std::vector<TSpeaker>& speakers, const std::vector<std::string>& sentences, size_t perVoice,
                     const std::vector<std::string>& fresh, size_t newPerVoice, const TListaComandos& comandos,
                     const std::vector<std::string>& ditado, const std::string& dir, std::FILE* dump,
                     const std::string& setName, double& trainSeconds) {
    const std::string runtime = ZEL_RUNTIME_DIR "/";
    const std::vector<std::string> prompts = ReadPromptSentences(runtime + "frases_treino.txt");
    TSetItems set;
    for (size_t v = 0; v < speakers.size(); ++v) {
        const std::string vdir = dir + "trained" + std::to_string(v) + "/";
        const std::string list = WritePrompts(prompts, speakers[v], vdir + "gravacoes/");
        const std::string out = vdir + "train.out";
        const std::string cmd = ShellQuote(runtime + "zelcmd") + " train --prompts " + ShellQuote(list) + " --folder " +
                                ShellQuote(vdir + "depois/") + " > " + ShellQuote(out) + " 2>/dev/null";
        const auto start = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "zelcmd train failed: %s\n%s", cmd.c_str(), ReadFileBytes(out).c_str());
            std::exit(1);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        trainSeconds += seconds;
        const TProfileFiles prof = Generate(vdir + "depois/", "dictation", comandos, {}, ditado);
        const std::vector<TItem> corpus = DecodeSentences(SaidBy(sentences, v, perVoice), speakers[v], prof, vdir);
        const std::vector<TItem> made = DecodeSentences(SaidBy(fresh, v, newPerVoice), speakers[v], prof, vdir);
        set.Corpus.insert(set.Corpus.end(), corpus.begin(), corpus.end());
        set.New.insert(set.New.end(), made.begin(), made.end());
        std::printf("  %s: trained in %.1f s, %zu corpus sentences, %zu new\n", speakers[v].Label().c_str(), seconds,
                    corpus.size(), made.size());
        std::fflush(stdout);
    }
    Dump(dump, setName + "/trained", set.Corpus);
    Dump(dump, setName + "/trained/new", set.New);
    return set;
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
        std::printf("  %-32s word error %5.1f%% (%d/%d), exact %d/%d", name.c_str(),
                    100.0 * t.Errors / std::max(1, t.RefWords), t.Errors, t.RefWords, t.Exact, t.Sentences);
        if (t.Clips > 0) std::printf(", clips typed %d/%d", t.ClipsTyped, t.Clips);
        std::printf("\n");
    }
}

void ReportActed(const std::vector<TItem>& items, const TListaComandos& comandos, int32_t threshold) {
    const TActed a = Interpret(items, comandos, threshold);
    std::printf("  what the program did: typed word error %.1f%% (%d/%d); commands run during dictated sentences %d "
                "(%d sentences); the text's number words typed %d/%d",
                100.0 * a.Errors / std::max(1, a.RefWords), a.Errors, a.RefWords, a.CommandsRun, a.Sentences,
                a.NumberWordsTyped, a.NumberWords);
    if (a.Mixed > 0)
        std::printf("; a command said in the same breath after a sentence: run %d/%d, typed as text %d/%d", a.MixedRun,
                    a.Mixed, a.MixedTyped, a.Mixed);
    std::printf("\n");
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

// Lines of fortunes-br cut as OrdinarySentences cuts them, in file order,
// that are not among the corpus's and whose words are all words of the
// corpus; every other one (from the first) is the tuning set's.
std::vector<std::string> NewSentences(const std::vector<std::string>& corpus, bool heldOut) {
    const std::vector<std::string> even = OrdinarySentences(false, 1000000), odd = OrdinarySentences(true, 1000000);
    std::set<std::string> taken(corpus.begin(), corpus.end()), vocabulary;
    for (const std::string& s : corpus)
        for (const std::string& w : Words(s)) vocabulary.insert(w);
    std::vector<std::string> found;
    for (size_t i = 0; i < even.size() + odd.size(); ++i) {
        const std::vector<std::string>& half = i % 2 ? odd : even;
        if (i / 2 >= half.size()) continue;
        const std::string& s = half[i / 2];
        if (!taken.insert(s).second) continue;
        const std::vector<std::string> words = Words(s);
        if (std::all_of(words.begin(), words.end(), [&](const std::string& w) { return vocabulary.count(w) > 0; }))
            found.push_back(s);
    }
    std::vector<std::string> out;
    for (size_t k = heldOut ? 1 : 0; k < found.size(); k += 2) out.push_back(found[k]);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string which = "both";
    size_t perVoice = 12, newPerVoice = 8, voices = 1000;
    bool trained = false;
    std::FILE* dump = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--set" && i + 1 < argc) which = argv[++i];
        else if (a == "--per-voice" && i + 1 < argc) perVoice = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--new-per-voice" && i + 1 < argc) newPerVoice = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--voices" && i + 1 < argc) voices = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--trained") trained = true;
        else if (a == "--dump" && i + 1 < argc) dump = std::fopen(argv[++i], "w");
        else {
            std::fprintf(stderr, "usage: dictation_bench [--set tuning|heldout|both] [--per-voice N] [--new-per-voice N] "
                                 "[--voices N] [--trained] [--dump FILE]\n");
            return 1;
        }
    }
    const auto begin = std::chrono::steady_clock::now();
    const std::vector<std::string> tuning = OrdinarySentences(false, 150), heldOut = OrdinarySentences(true, 150);
    std::vector<std::string> ditado, corpus = tuning;
    corpus.insert(corpus.end(), heldOut.begin(), heldOut.end());
    for (const auto& s : corpus) ditado.push_back(Utf8ToCp1252(s));
    const std::vector<std::string> newTuning = NewSentences(corpus, false), newHeldOut = NewSentences(corpus, true);
    TListaComandos mine;
    for (const auto& p : NewVocabulary()) mine.Append(SpokenCommand(p));
    TTempDir dir;
    const TProfileFiles prof = Generate(dir.File("profile/"), "dictation", mine, {}, ditado);
    std::printf("dictation text: %zu sentences; commands: %d; new sentences made of its words: %zu tuning, %zu held-out\n",
                ditado.size(), mine.Count(), newTuning.size(), newHeldOut.size());
    auto run = [&](const std::string& name, std::vector<TSpeaker> speakers, const std::vector<std::string>& text,
                   const std::vector<std::string>& fresh, size_t each, size_t newEach) {
        if (speakers.size() > voices) speakers.resize(voices);
        std::printf("== %s speakers (%zu)\n", name.c_str(), speakers.size());
        const auto start = std::chrono::steady_clock::now();
        TSetItems set = RunSet(speakers, text, each, fresh, newEach, prof, dir.File(""), dump, name);
        std::vector<TItem> items = set.Corpus;
        items.insert(items.end(), set.Clips.begin(), set.Clips.end());
        Report(name + ", untrained, corpus sentences", items, 50);
        const std::vector<TItem> mixed = RunMixed(speakers, text, prof, dir.File(""));
        items.insert(items.end(), mixed.begin(), mixed.end());
        ReportActed(items, mine, 50);
        Report(name + ", untrained, new sentences", set.New, 50);
        ReportActed(set.New, mine, 50);
        std::printf("  (untrained: %.0f s)\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!trained) return;
        const auto startTrained = std::chrono::steady_clock::now();
        double trainSeconds = 0;
        const TSetItems after =
            RunTrained(speakers, text, each, fresh, newEach, mine, ditado, dir.File(""), dump, name, trainSeconds);
        Report(name + ", trained, corpus sentences", after.Corpus, 50);
        ReportActed(after.Corpus, mine, 50);
        Report(name + ", trained, new sentences", after.New, 50);
        ReportActed(after.New, mine, 50);
        std::printf("  (trained: %.0f s, of which zelcmd train %.0f s, %.1f s a voice)\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - startTrained).count(), trainSeconds,
                    trainSeconds / static_cast<double>(std::max<size_t>(1, speakers.size())));
    };
    if (which != "heldout") run("tuning", TuningSpeakers(), tuning, newTuning, perVoice, newPerVoice);
    if (which != "tuning") run("held-out", HeldOutSpeakers(), heldOut, newHeldOut, perVoice * 5 / 8, newPerVoice / 2);
    if (dump) std::fclose(dump);
    std::printf("total: %.0f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    return 0;
}
