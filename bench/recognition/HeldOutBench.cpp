// Accuracy on speech and words the recognizer was never tuned on.
//
// Two sets of synthetic speakers: a tuning set, which settings and rules may
// be chosen on, and a held-out set, which is only ever reported. Each speaker
// is an espeak-ng Brazilian voice variant at its own speed and pitch, through
// its own channel (none, a headset band-pass, a small room, a tempo change)
// and its own noise (white, pink or brown at 15, 20 or 30 dB SNR).
//
// What they say:
//  - a profile of ordinary desktop, editor and game commands that the
//    shipped examples do not hold, written down as a user would, never
//    reworded to suit the recognizer, with twenty "number command" pairs;
//  - the shipped example profiles, each command once and a few pairs;
//  - 40 ordinary sentences (fortunes-br, other ones for each set) and six
//    clips of music and noise, which must make the program do nothing.
//
// A phrase counts as exact when it gave exactly one accepted result and that
// result is the phrase. A non-command item is a false action when any result
// is accepted while it plays.
//
//   heldout_bench [--thresh N] [--set tuning|heldout|both] [--arg "-name value"]...
//                 [--dump FILE] [--sweep] [--misses] [--voices N] [--only-new] [--accented]
//
// --accented: instead, commands with the letters the letter rules drop (â, à,
// ô, accented capitals), to compare "-alternates" with and without "letters".
//
// Synthesized speech is kept in $ZEL_BENCH_DIR/speech (default
// /tmp/zel-bench-heldout) so that repeated runs only decode.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "actions/ActionContext.h"
#include "bench/recognition/HeldOutSpeech.h"
#include "commands/Cp1252.h"
#include "commands/LocaleCollator.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSource.h"
#include "recognition/DictationAcceptance.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/RecognitionSwitch.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
using namespace zelbench;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::vector<std::string>> ShippedPairs() {
    return {{"desktop.zpr", {"três baixo", "dois direita", "cinco apagar"}},
            {"jogo.zpr", {"quatro adiante", "dois pular"}},
            {"navegador.zpr", {"três abaixo", "dez acima"}}};
}

std::vector<int16_t> Clip(int k) {
    int32_t rate = 0;
    return ReadWavSamples(ClipFile(k), rate);
}
constexpr int kClips = 6;

// Commands with the letters the letter rules drop (â, à, ô and accented
// capitals), as a user would write them; fixed before any was measured.
std::vector<std::string> AccentedVocabulary() {
    return {"avô", "ônibus", "pôr", "câmera", "lâmpada", "âncora", "robô", "metrô", "bônus", "ânimo",
            "cômodo", "tônico", "à direita", "às vezes", "ÁUDIO", "ÍCONE", "ÓTIMO", "Área", "Último", "Ônibus escolar"};
}

std::vector<TProfileFiles> Profiles(const std::string& dir, bool accented) {
    std::vector<TProfileFiles> out;
    if (accented) {
        TListaComandos words;
        for (const auto& p : AccentedVocabulary()) words.Append(SpokenCommand(p));
        out.push_back(Generate(dir + "/accented/", "accented", words, {}));
        return out;
    }
    TListaComandos mine;
    for (const auto& p : NewVocabulary()) mine.Append(SpokenCommand(p));
    out.push_back(Generate(dir + "/new/", "new vocabulary", mine, NewVocabularyPairs()));
    for (const auto& [file, pairs] : ShippedPairs()) {
        TProfileState st;
        LoadProfile(st, std::string(ZEL_RUNTIME_DIR) + "/profiles/" + file);
        out.push_back(Generate(dir + "/" + file + "/", file, st.Comandos, pairs));
    }
    return out;
}

struct TTally {
    int Exact = 0, Total = 0;
    int PairExact = 0, PairTotal = 0;
    int NewExact = 0, NewTotal = 0;
    int FalseItems = 0, Items = 0;
    std::map<int32_t, std::array<int, 2>> Sweep;  // threshold → exact, false items
};

const std::vector<int32_t> kSweep = {0, 20, 30, 40, 45, 50, 55, 60, 70};

struct TOptions {
    int32_t Thresh = 50;
    std::vector<std::string> Extra;
    std::FILE* Dump = nullptr;
    bool Misses = false;
    size_t Voices = 100;
    bool OnlyNew = false;  // the new vocabulary alone (quicker, for trying rules)
    bool Accented = false;  // the accented commands alone, no ordinary speech
};

// Result accepted at a threshold, from the confidence the control computed.
bool AcceptedAt(const TDecoded& r, int32_t t) { return AcceptResult(r.Score, t); }

void RunCommands(const TProfileFiles& prof, const TSpeaker& sp, const std::string& dir, const TOptions& o,
                 const std::string& setName, TTally& tally) {
    std::string wav = dir + "/cmd.wav";
    const std::vector<std::pair<double, double>> spans = WriteSpokenPhrases(prof.Phrases, sp, wav);
    std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, o.Thresh, o.Extra, prof.Vocabulary);
    std::vector<std::vector<const TDecoded*>> per = ResultsPerItem(results, spans);
    int ok = 0;
    std::string misses;
    const size_t firstPair = prof.Phrases.size() - static_cast<size_t>(prof.Pairs);
    for (size_t k = 0; k < prof.Phrases.size(); ++k) {
        std::vector<const TDecoded*> acc;
        for (auto* r : per[k]) {
            bool right = SameWords(r->Text, prof.Phrases[k]);
            if (o.Dump)
                std::fprintf(o.Dump, "%s\t%d\t%d\t%.3f\t%.3f\t%.3f\t%d\t%s\t%s\t%d\t%s\t%s/%s/%zu\n", setName.c_str(),
                             right ? 1 : 0, r->Score.Confidence, r->Score.AcousticPerFrame, r->Score.MinWordPosterior,
                             r->Score.MeanAcousticPerFrame, r->Score.Words, prof.Phrases[k].c_str(), r->Text.c_str(),
                             r->Score.GrammarVerdict, Cp1252ToUtf8(Utf16ToCp1252(r->Score.GrammarHeard)).c_str(), sp.Label().c_str(),
                             prof.Name.c_str(), k);
            if (r->Score.Accepted) acc.push_back(r);
        }
        for (int32_t t : kSweep) {
            std::vector<const TDecoded*> at;
            for (auto* r : per[k])
                if (AcceptedAt(*r, t)) at.push_back(r);
            if (at.size() == 1 && SameWords(at[0]->Text, prof.Phrases[k])) ++tally.Sweep[t][0];
        }
        bool exact = acc.size() == 1 && SameWords(acc[0]->Text, prof.Phrases[k]);
        ok += exact;
        if (k >= firstPair) tally.PairExact += exact, ++tally.PairTotal;
        if (prof.Name == "new vocabulary") tally.NewExact += exact, ++tally.NewTotal;
        if (!exact) {
            misses += " [" + prof.Phrases[k] + " →";
            for (auto* r : per[k])
                misses += " " + r->Text + "(" + std::to_string(r->Score.Confidence) + (r->Score.Accepted ? "" : "x") + ")";
            misses += "]";
        }
    }
    tally.Exact += ok;
    tally.Total += static_cast<int>(prof.Phrases.size());
    std::printf("  %-15s %3d/%3zu%s\n", prof.Name.c_str(), ok, prof.Phrases.size(), o.Misses ? misses.c_str() : "");
}

// The ordinary sentences and the clips, each in the voice of one speaker of
// the set in turn, decoded with the new-vocabulary profile.
void RunNonCommands(const TProfileFiles& prof, const std::vector<TSpeaker>& speakers, bool heldOut,
                    const std::string& dir, const TOptions& o, const std::string& setName, TTally& tally) {
    std::vector<std::string> sentences = OrdinarySentences(heldOut, 40);
    TRecording rec;
    rec.AddSilence(0.6);
    std::vector<std::pair<double, double>> spans;
    std::vector<std::string> names;
    std::vector<int16_t> all;
    size_t items = sentences.size() + kClips;
    for (size_t i = 0; i < items; ++i) {
        const TSpeaker& sp = speakers[i % speakers.size()];
        std::vector<int16_t> v = i < sentences.size() ? Say(sentences[i], sp) : Clip(static_cast<int>(i - sentences.size()) + (heldOut ? 0 : 0));
        names.push_back(i < sentences.size() ? sentences[i] : "clip " + std::to_string(i - sentences.size()));
        std::vector<int16_t> piece(static_cast<size_t>(0.3 * 16000), 0);
        piece.insert(piece.end(), v.begin(), v.end());
        piece.insert(piece.end(), static_cast<size_t>(1.2 * 16000), 0);
        AddNoise(piece, sp.Noise, Rms(v), sp.SnrDb, 99 + static_cast<uint32_t>(i));
        double s = static_cast<double>(all.size()) / 16000;
        all.insert(all.end(), piece.begin(), piece.end());
        spans.push_back({s, static_cast<double>(all.size()) / 16000});
    }
    std::string wav = dir + "/other.wav";
    WriteWav(wav, all, 16000);
    std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, o.Thresh, o.Extra, prof.Vocabulary);
    std::vector<std::vector<const TDecoded*>> per = ResultsPerItem(results, spans);
    for (size_t k = 0; k < items; ++k) {
        bool acted = false;
        for (auto* r : per[k]) {
            if (o.Dump)
                std::fprintf(o.Dump, "%s\t2\t%d\t%.3f\t%.3f\t%.3f\t%d\t%s\t%s\t%d\t%s\tother/%zu\n", setName.c_str(),
                             r->Score.Confidence, r->Score.AcousticPerFrame, r->Score.MinWordPosterior,
                             r->Score.MeanAcousticPerFrame, r->Score.Words, names[k].c_str(), r->Text.c_str(),
                             r->Score.GrammarVerdict, Cp1252ToUtf8(Utf16ToCp1252(r->Score.GrammarHeard)).c_str(), k);
            acted |= r->Score.Accepted;
        }
        for (int32_t t : kSweep) {
            bool at = false;
            for (auto* r : per[k]) at |= AcceptedAt(*r, t);
            tally.Sweep[t][1] += at;
        }
        if (acted) {
            ++tally.FalseItems;
            if (o.Misses) {
                std::printf("  false action: \"%s\" →", names[k].c_str());
                for (auto* r : per[k])
                    if (r->Score.Accepted) std::printf(" %s(%d)", r->Text.c_str(), r->Score.Confidence);
                std::printf("\n");
            }
        }
        ++tally.Items;
    }
}

TTally RunSet(const std::string& setName, const std::vector<TSpeaker>& speakersIn, bool heldOut,
              const std::vector<TProfileFiles>& profiles, const std::string& dir, const TOptions& o) {
    std::vector<TSpeaker> speakers = speakersIn;
    if (speakers.size() > o.Voices) speakers.resize(o.Voices);
    TTally t;
    std::printf("== %s speakers\n", setName.c_str());
    for (const TSpeaker& sp : speakers) {
        std::printf("%s\n", sp.Label().c_str());
        for (const auto& prof : profiles)
            if (!o.OnlyNew || &prof == &profiles[0]) RunCommands(prof, sp, dir, o, setName, t);
        std::fflush(stdout);
    }
    if (!o.Accented) RunNonCommands(profiles[0], speakers, heldOut, dir, o, setName, t);
    std::printf("%s: exact %d/%d = %.1f%% (new vocabulary %d/%d = %.1f%%, number + command %d/%d = %.1f%%), "
                "false actions %d of %d, threshold %d\n",
                setName.c_str(), t.Exact, t.Total, 100.0 * t.Exact / t.Total, t.NewExact, t.NewTotal,
                100.0 * t.NewExact / std::max(1, t.NewTotal), t.PairExact, t.PairTotal,
                100.0 * t.PairExact / std::max(1, t.PairTotal), t.FalseItems, t.Items, o.Thresh);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    TOptions o;
    std::string which = "both";
    bool sweep = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--thresh" && i + 1 < argc) o.Thresh = std::atoi(argv[++i]);
        else if (a == "--set" && i + 1 < argc) which = argv[++i];
        else if (a == "--arg" && i + 1 < argc) o.Extra.push_back(argv[++i]);
        else if (a == "--dump" && i + 1 < argc) o.Dump = std::fopen(argv[++i], "w");
        else if (a == "--voices" && i + 1 < argc) o.Voices = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--sweep") sweep = true;
        else if (a == "--misses") o.Misses = true;
        else if (a == "--only-new") o.OnlyNew = true;
        else if (a == "--accented") o.Accented = true;
        else {
            std::fprintf(stderr,
                         "usage: heldout_bench [--thresh N] [--set tuning|heldout|both] [--arg \"-name value\"]... "
                         "[--dump FILE] [--sweep] [--misses] [--voices N] [--only-new] [--accented]\n");
            return 1;
        }
    }
    TTempDir dir;
    std::vector<TProfileFiles> profiles = Profiles(dir.File(""), o.Accented);
    std::vector<std::pair<std::string, TTally>> sets;
    if (which != "heldout") sets.push_back({"tuning", RunSet("tuning", TuningSpeakers(), false, profiles, dir.File(""), o)});
    if (which != "tuning") sets.push_back({"held-out", RunSet("held-out", HeldOutSpeakers(), true, profiles, dir.File(""), o)});
    if (sweep)
        for (auto& [name, t] : sets)
            for (int32_t th : kSweep)
                std::printf("  %s threshold %3d: exact %d/%d = %.1f%%  false actions %d of %d\n", name.c_str(), th,
                            t.Sweep[th][0], t.Total, 100.0 * t.Sweep[th][0] / t.Total, t.Sweep[th][1], t.Items);
    if (o.Dump) std::fclose(o.Dump);
    return 0;
}
