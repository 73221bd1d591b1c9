// Voice training on voices nobody tuned anything on.
//
// For each speaker of the held-out set (an espeak-ng variant at its own speed
// and pitch, through its own channel and noise): the shipped prompt sentences
// in that voice go through `zelcmd train`, then the new-vocabulary command
// set (commands and "number command" pairs) and ordinary sentences in that
// voice are decoded with the installed model and with the adapted one, as
// switch-on would load them. Prints, per voice, exact results before and
// after, false actions before and after, and the time of each training step.
//
//   training_bench [--set heldout|tuning] [--voices N] [--thresh N] [--misses]
//                  [--margins] [--no-before] [--skip N] [--ordinary N]
//                  [--snr X] [--adapt SETTINGS] [--from-use N [--misheard P]]
//
// --from-use N: no training session; the voice says the shipped profiles'
// commands round after round (decoded as switch-on decodes them) until N
// were kept as learning from use keeps them, then `zelcmd train --from-use`;
// the new vocabulary, never said in that session, is what is scored.
// --misheard P: P% of the kept commands carry another command's text, the
// program learning its own mistakes.
//
// --set tuning takes the tuning speakers of the held-out protocol (and its
// tuning ordinary sentences) instead: adaptation settings are chosen there,
// the held-out set only reports the choice. --adapt trains in this process
// with other settings instead of running zelcmd train: "map" (MAP of the
// means and variances alone) or a comma-separated list of what is added to
// it: mllr, mixw, passes=N, tau=X, nobayes; builtin (the program's own
// trainer, BuiltInTrainer.h, as the Windows edition trains), btau=X.
// --ordinary N: how many ordinary sentences a voice (20 by default). --snr X puts every voice's noise at X dB
// (a harder set to choose settings on when the tuning voices score near 100%).
//
// Speech is kept in $ZEL_BENCH_DIR/speech as for the held-out bench.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "bench/recognition/HeldOutSpeech.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "recognition/Sphinx.h"
#include "recognition/WavWriter.h"
#include "commands/Profile.h"
#include "recognition/AudioSource.h"
#include "recognition/training/UseStore.h"
#include "recognition/training/VoiceTraining.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
using namespace zelbench;
namespace fs = std::filesystem;

namespace {

struct TScore {
    int Exact = 0, Total = 0;
    int FalseItems = 0, Items = 0;
    // --margins: the measure behind the confidence (acoustic score per frame
    // of the worst word, unclamped) of each exact command, and per ordinary
    // sentence its highest over the results the grammar did not refute (what
    // a lower threshold would have let through) and over all results.
    std::vector<double> ExactScore, OrdinaryScore, OrdinaryScoreAll;
};

// The score of a sentence that gave no result at all.
constexpr double kNoScore = -20;

struct TOptions {
    size_t Voices = 6;
    size_t Skip = 0;  // --skip N: the first N voices of the set are left out
    size_t Ordinary = 20;  // --ordinary N: ordinary sentences a voice
    double Snr = 0;  // --snr X: every voice's noise at X dB instead of its own
    int32_t Thresh = 50;
    bool Misses = false;
    bool Margins = false;
    bool Tuning = false;
    bool Before = true;  // --no-before: the untrained figures are known, only trials of settings differ
    bool InProcess = false;  // TrainVoice with Adapt rather than zelcmd train
    // --from-use N: no training session; the voice says the shipped
    // profiles' commands until N were kept as learning from use keeps them,
    // and zelcmd train --from-use adapts it from those.
    size_t FromUse = 0;
    // --misheard P: P% of the kept commands carry another command's text.
    int Misheard = 0;
    TAdaptation Adapt;
};

// The settings named, from MAP of the means and variances alone.
bool ParseAdaptation(const std::string& list, TAdaptation& a) {
    a = TAdaptation{};
    a.Mllr = false;
    a.Tau = 0;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (item == "mllr") a.Mllr = true;
        else if (item == "mixw") a.MixtureWeights = true;
        else if (item == "nobayes") a.BayesMean = false;
        else if (item.rfind("passes=", 0) == 0) a.Passes = std::atoi(item.c_str() + 7);
        else if (item.rfind("tau=", 0) == 0) a.Tau = std::atof(item.c_str() + 4);
        else if (item == "builtin") a.BuiltIn = true;
        else if (item.rfind("btau=", 0) == 0) a.BuiltInTau = std::atof(item.c_str() + 5);
        else if (item != "map") return false;
    }
    return true;
}

// The commands: exact when exactly one accepted result says the phrase. The
// ordinary sentences: a false action when any result is accepted.
void Score(const TProfileFiles& prof, const std::vector<std::string>& sentences, const TSpeaker& sp,
           const std::string& dir, const TOptions& o, TScore& score) {
    const std::string wav = dir + "cmd.wav";
    const auto spans = WriteSpokenPhrases(prof.Phrases, sp, wav);
    const std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, o.Thresh, {}, prof.Vocabulary);
    const auto per = ResultsPerItem(results, spans);
    for (size_t k = 0; k < prof.Phrases.size(); ++k) {
        std::vector<const TDecoded*> accepted;
        for (auto* r : per[k])
            if (r->Score.Accepted) accepted.push_back(r);
        const bool exact = accepted.size() == 1 && SameWords(accepted[0]->Text, prof.Phrases[k]);
        score.Exact += exact;
        if (exact) score.ExactScore.push_back(accepted[0]->Score.AcousticPerFrame);
        ++score.Total;
        if (!exact && o.Misses) {
            std::printf("    miss: %s →", prof.Phrases[k].c_str());
            for (auto* r : per[k]) std::printf(" %s(%d%s)", r->Text.c_str(), r->Score.Confidence, r->Score.Accepted ? "" : "x");
            std::printf("\n");
        }
    }
    const std::string other = dir + "other.wav";
    const auto otherSpans = WriteSpokenPhrases(sentences, sp, other);
    // The results live as long as the pointers into them.
    const std::vector<TDecoded> otherResults = DecodeFile(prof.ArgFile, other, o.Thresh, {}, prof.Vocabulary);
    const auto perOther = ResultsPerItem(otherResults, otherSpans);
    for (const auto& item : perOther) {
        bool acted = false;
        double highest = kNoScore, highestAll = kNoScore;
        for (auto* r : item) {
            acted |= r->Score.Accepted;
            highestAll = std::max(highestAll, r->Score.AcousticPerFrame);
            if (r->Score.GrammarVerdict >= 0) highest = std::max(highest, r->Score.AcousticPerFrame);
        }
        score.OrdinaryScore.push_back(highest);
        score.OrdinaryScoreAll.push_back(highestAll);
        score.FalseItems += acted;
        ++score.Items;
    }
}

// "label: exact commands' score lowest/10%/median; ordinary sentences' highest
// scores (not refuted by the grammar; all), median and the top three", in
// natural-log units per frame (the threshold of 50 is -5.5).
void PrintMargins(const char* label, TScore s) {
    if (s.ExactScore.empty() && s.OrdinaryScore.empty()) return;
    auto sorted = [](std::vector<double> v, bool down) {
        std::sort(v.begin(), v.end());
        if (down) std::reverse(v.begin(), v.end());
        return v;
    };
    auto at = [](const std::vector<double>& v, double q) { return v.empty() ? 0 : v[static_cast<size_t>(q * (v.size() - 1))]; };
    const auto cmd = sorted(s.ExactScore, false);
    std::printf("    margins %s: commands min %.2f p10 %.2f median %.2f;", label, at(cmd, 0), at(cmd, 0.1), at(cmd, 0.5));
    for (const auto* v : {&s.OrdinaryScore, &s.OrdinaryScoreAll}) {
        const auto o = sorted(*v, true);
        std::printf(" ordinary%s median %.2f top", v == &s.OrdinaryScore ? "" : " (all)", at(o, 0.5));
        for (size_t i = 0; i < std::min<size_t>(3, o.size()); ++i) std::printf(" %.2f", o[i]);
        std::printf(";");
    }
    std::printf("\n");
}

// A session of use: the voice says the shipped profiles' commands (and their
// pairs), round after round, decoded as switch-on decodes them; each result
// worth learning from is kept in the folder's gravacoes/uso/ with the audio
// of its item, until `wanted` are kept. misheard%: of every hundred kept, that
// many carry the text of another kept command. Returns how many were kept
// and how many of them were heard wrong.
std::pair<size_t, size_t> UseSession(const TSpeaker& sp, const std::string& dir, const TOptions& o) {
    TListaComandos shipped;
    for (const char* file : {"desktop.zpr", "jogo.zpr", "navegador.zpr"}) {
        TProfileState st;
        LoadProfile(st, std::string(ZEL_RUNTIME_DIR) + "/profiles/" + file);
        for (int32_t i = 0; i < st.Comandos.Count(); ++i) shipped.Append(st.Comandos[i]);
    }
    const TProfileFiles prof = Generate(dir + "uso/", "shipped", shipped, {"três baixo", "dois direita", "quatro adiante"});
    TUseStore store(dir);
    size_t kept = 0, wrong = 0;
    std::vector<std::pair<std::u16string, std::string>> texts;  // as the recognizer gave it, and in words
    for (int round = 0; round < 8 && kept < o.FromUse; ++round) {
        const std::string wav = dir + "uso/session" + std::to_string(round) + ".wav";
        TSpeaker voice = sp;
        voice.Speed += round % 2 ? 10 : -10;  // not the same take twice
        const auto spans = WriteSpokenPhrases(prof.Phrases, voice, wav);
        const std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, o.Thresh, {}, prof.Vocabulary);
        const auto per = ResultsPerItem(results, spans);
        int32_t rate = 0;
        const std::vector<int16_t> audio = ReadWavSamples(wav, rate);
        for (size_t k = 0; k < per.size() && kept < o.FromUse; ++k)
            for (const TDecoded* r : per[k]) {
                if (!WorthLearningFrom(r->Score, o.Thresh) || kept == o.FromUse) continue;
                const size_t from = static_cast<size_t>(std::max(0.0, spans[k].first - 0.3) * rate);
                const size_t to = std::min(audio.size(), static_cast<size_t>((spans[k].second + 0.3) * rate));
                std::pair<std::u16string, std::string> text{r->Score.Text, r->Text};
                // P of every hundred kept commands carry an earlier one's text.
                if (o.Misheard > 0 && !texts.empty() &&
                    (kept * static_cast<size_t>(o.Misheard)) % 100 < static_cast<size_t>(o.Misheard))
                    for (size_t j = 0; j < texts.size() && SameWords(text.second, r->Text); ++j)
                        text = texts[(kept * 7 + j) % texts.size()];
                wrong += !SameWords(text.second, prof.Phrases[k]);
                texts.emplace_back(r->Score.Text, r->Text);
                store.Keep(text.first, std::vector<int16_t>(audio.begin() + static_cast<std::ptrdiff_t>(from),
                                                      audio.begin() + static_cast<std::ptrdiff_t>(to)),
                           rate);
                ++kept;
            }
    }
    return {kept, wrong};
}


}  // namespace

int main(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--voices" && i + 1 < argc) o.Voices = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--thresh" && i + 1 < argc) o.Thresh = std::atoi(argv[++i]);
        else if (a == "--misses") o.Misses = true;
        else if (a == "--no-before") o.Before = false;
        else if (a == "--margins") o.Margins = true;
        else if (a == "--skip" && i + 1 < argc) o.Skip = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--ordinary" && i + 1 < argc) o.Ordinary = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--snr" && i + 1 < argc) o.Snr = std::atof(argv[++i]);
        else if (a == "--set" && i + 1 < argc && (argv[i + 1] == std::string("tuning") || argv[i + 1] == std::string("heldout")))
            o.Tuning = argv[++i] == std::string("tuning");
        else if (a == "--adapt" && i + 1 < argc && ParseAdaptation(argv[i + 1], o.Adapt)) o.InProcess = true, ++i;
        else if (a == "--from-use" && i + 1 < argc) o.FromUse = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--misheard" && i + 1 < argc) o.Misheard = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: training_bench [--set heldout|tuning] [--voices N] [--thresh N] [--misses] [--margins] [--no-before] [--skip N] [--ordinary N] [--snr X] "
                         "[--adapt mllr,mixw,passes=N,tau=X,nobayes,builtin,btau=X] [--from-use N [--misheard P]]\n");
            return 1;
        }
    }
    const std::string runtime = ZEL_RUNTIME_DIR "/";
    const std::vector<std::string> prompts = ReadPromptSentences(runtime + "frases_treino.txt");
    const std::vector<std::string> ordinary = OrdinarySentences(!o.Tuning, o.Ordinary);
    TListaComandos mine;
    for (const auto& p : NewVocabulary()) mine.Append(SpokenCommand(p));

    std::vector<TSpeaker> speakers = o.Tuning ? TuningSpeakers() : HeldOutSpeakers();
    speakers.erase(speakers.begin(), speakers.begin() + static_cast<std::ptrdiff_t>(std::min(o.Skip, speakers.size())));
    if (speakers.size() > o.Voices) speakers.resize(o.Voices);
    if (o.Snr > 0)
        for (auto& sp : speakers) sp.SnrDb = o.Snr;
    TTempDir tmp;
    TScore before, after;
    std::map<std::string, double> stepTotal;
    std::printf("%-46s %15s %15s %9s %9s %8s\n", "voice", "exact before", "exact after", "false b.", "false a.",
                "train s");
    for (size_t v = 0; v < speakers.size(); ++v) {
        const TSpeaker& sp = speakers[v];
        const std::string dir = tmp.File("v" + std::to_string(v)) + "/";
        // Untrained: the program's folder without voz/.
        TScore b, a;
        if (o.Before)
            Score(Generate(dir + "antes/", "new vocabulary", mine, NewVocabularyPairs()), ordinary, sp, dir + "antes/", o,
                  b);
        // Trained, the whole way a user goes: zelcmd train, then switch-on.
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::pair<std::string, double>> stepTimes;
        std::string list;
        if (o.FromUse > 0) {
            const auto [kept, wrong] = UseSession(sp, dir + "depois/", o);
            std::printf("    kept %zu commands, %zu of them heard wrong\n", kept, wrong);
            list = " --from-use";
        } else {
            list = " --prompts " + ShellQuote(WritePrompts(prompts, sp, dir + "gravacoes/"));
        }
        if (o.InProcess) {
            TTrainingSetup setup;
            setup.ProgramFolder = dir + "depois/";
            fs::create_directories(setup.ProgramFolder);
            setup.BaseModel = InstalledAcousticModel(setup.ProgramFolder, runtime + kRecognizerFolderName);
            setup.Adapt = o.Adapt;
            const std::vector<TPrompt> takes =
                o.FromUse > 0 ? TUseStore(setup.ProgramFolder).Prompts() : ReadPromptList(dir + "gravacoes/lista.tsv");
            for (const TTrainingStep& s : TrainVoice(setup, takes).Steps)
                stepTimes.emplace_back(Cp1252ToUtf8(s.Name), s.Seconds);
        } else {
            const std::string out = dir + "train.out";
            const std::string cmd = ShellQuote(runtime + "zelcmd") + " train" + list + " --folder " + ShellQuote(dir + "depois/") + " > " + ShellQuote(out) + " 2>&1";
            if (std::system(cmd.c_str()) != 0) {
                std::fprintf(stderr, "zelcmd train failed: %s\n%s", cmd.c_str(), ReadFileBytes(out).c_str());
                if (o.FromUse > 0) std::fprintf(stderr, "%s", ReadFileBytes(dir + "depois/gravacoes/uso/lista.tsv").c_str());
                return 1;
            }
            std::istringstream steps(ReadFileBytes(out));
            std::string line;
            while (std::getline(steps, line)) {
                const size_t colon = line.rfind(": ");
                if (colon == std::string::npos || line.find(" s", colon) == std::string::npos) continue;
                stepTimes.emplace_back(line.substr(0, colon), std::atof(line.c_str() + colon + 2));
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::string times;
        for (const auto& [step, t] : stepTimes) {
            stepTotal[step] += t;
            char t2[32];
            std::snprintf(t2, sizeof t2, " %.2f", t);
            times += t2;
        }
        Score(Generate(dir + "depois/", "new vocabulary", mine, NewVocabularyPairs()), ordinary, sp, dir + "depois/",
              o, a);
        std::printf("%-46s %4d/%d %5.1f%% %4d/%d %5.1f%% %5d/%d %5d/%d %8.1f\n    steps:%s\n", sp.Label().c_str(), b.Exact,
                    b.Total, 100.0 * b.Exact / std::max(1, b.Total), a.Exact, a.Total, 100.0 * a.Exact / a.Total, b.FalseItems,
                    b.Items, a.FalseItems, a.Items, seconds, times.c_str());
        if (o.Margins) PrintMargins("before", b), PrintMargins("after", a);
        std::fflush(stdout);
        before.Exact += b.Exact, before.Total += b.Total, before.FalseItems += b.FalseItems, before.Items += b.Items;
        after.Exact += a.Exact, after.Total += a.Total, after.FalseItems += a.FalseItems, after.Items += a.Items;
    }
    std::printf("all: exact %d/%d = %.1f%% -> %d/%d = %.1f%%, false actions %d/%d -> %d/%d, threshold %d\n",
                before.Exact, before.Total, 100.0 * before.Exact / std::max(1, before.Total), after.Exact, after.Total,
                100.0 * after.Exact / std::max(1, after.Total), before.FalseItems, before.Items, after.FalseItems,
                after.Items, o.Thresh);
    for (const auto& [step, total] : stepTotal)
        std::printf("  %-40s %.2f s per voice\n", step.c_str(), total / static_cast<double>(speakers.size()));
    return 0;
}
