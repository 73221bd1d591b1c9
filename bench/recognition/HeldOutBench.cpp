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
//                 [--dump FILE] [--sweep] [--misses] [--voices N] [--only-new]
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
#include "commands/Cp1252.h"
#include "commands/LocaleCollator.h"
#include "commands/Profile.h"
#include "commands/TextFile.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSource.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/GrammarCheck.h"
#include "recognition/RecognitionSwitch.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
namespace fs = std::filesystem;

namespace {

enum class TNoise { White, Pink, Brown };

struct TSpeaker {
    std::string Voice;
    int Speed, Pitch;
    std::string Channel;  // sox effects
    TNoise Noise;
    double SnrDb;
    std::string Label() const {
        static const char* names[] = {"white", "pink", "brown"};
        std::string l = Voice + "@" + std::to_string(Speed) + " p" + std::to_string(Pitch);
        if (!Channel.empty()) l += " [" + Channel + "]";
        return l + " " + names[static_cast<int>(Noise)] + " " + std::to_string(static_cast<int>(SnrDb)) + "dB";
    }
};

const std::string kBandPass = "sinc 300-3400";
const std::string kRoom = "reverb 40 50 30";

// Fixed before anything was measured with them.
std::vector<TSpeaker> TuningSpeakers() {
    return {{"pt-br", 150, 50, "", TNoise::White, 30},
            {"pt-br+m1", 170, 40, kBandPass, TNoise::Pink, 20},
            {"pt-br+f2", 140, 60, kRoom, TNoise::White, 20},
            {"pt-br+klatt", 160, 50, "", TNoise::Brown, 15},
            {"pt-br+m3", 130, 45, "tempo 1.1", TNoise::Pink, 30}};
}
std::vector<TSpeaker> HeldOutSpeakers() {
    return {{"pt-br+m2", 125, 35, "", TNoise::Pink, 20},
            {"pt-br+m4", 180, 55, kBandPass, TNoise::White, 30},
            {"pt-br+m5", 150, 65, kRoom, TNoise::Brown, 20},
            {"pt-br+m6", 135, 30, "tempo 0.9", TNoise::White, 15},
            {"pt-br+m7", 165, 50, "", TNoise::Brown, 30},
            {"pt-br+f1", 145, 70, kBandPass, TNoise::Pink, 15},
            {"pt-br+f3", 190, 40, "", TNoise::White, 20},
            {"pt-br+f4", 120, 55, kRoom, TNoise::Pink, 30},
            {"pt-br+f5", 155, 45, "tempo 1.1", TNoise::Brown, 15},
            {"pt-br+klatt2", 140, 60, "", TNoise::White, 30},
            {"pt-br+klatt3", 175, 35, kBandPass, TNoise::Brown, 20},
            {"pt-br+klatt4", 130, 50, kRoom, TNoise::White, 20},
            {"pt-br+croak", 160, 45, "", TNoise::Pink, 20}};
}

// A user's own commands: none of them in the shipped profiles.
std::vector<std::string> NewVocabulary() {
    return {"imprimir", "procurar",    "substituir",   "renomear",       "excluir",    "duplicar",
            "atualizar", "restaurar",  "minimizar",    "maximizar",      "silenciar",  "aumentar volume",
            "diminuir volume", "tela cheia", "nova aba", "fechar aba",    "próximo",    "sim",
            "não",      "parar",       "tocar",        "pausar",         "avançar",    "retroceder",
            "negrito",  "itálico",     "sublinhar",    "selecionar tudo", "nova linha", "espaço",
            "tabulação", "escapar",    "início",       "fim",            "atirar",     "correr",
            "atacar",   "defender",    "esquivar",     "inventário",     "abrir porta", "trocar arma",
            "subir",    "descer"};
}
std::vector<std::string> NewVocabularyPairs() {
    return {"dois próximo",  "três descer",    "cinco subir",    "quatro avançar",   "dez retroceder",
            "seis espaço",   "sete atirar",    "oito correr",    "nove nova linha",  "doze aumentar volume",
            "quinze diminuir volume", "vinte descer", "trinta subir", "um atacar",   "onze tabulação",
            "treze defender", "quatorze avançar", "dezoito retroceder", "cinquenta descer", "dezesseis subir"};
}
std::map<std::string, std::vector<std::string>> ShippedPairs() {
    return {{"desktop.zpr", {"três baixo", "dois direita", "cinco apagar"}},
            {"jogo.zpr", {"quatro adiante", "dois pular"}},
            {"navegador.zpr", {"três abaixo", "dez acima"}}};
}

std::string Hex(uint64_t v) {
    char b[17];
    std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(v));
    return b;
}

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string CacheDir() {
    const char* d = std::getenv("ZEL_BENCH_DIR");
    std::string dir = std::string(d ? d : "/tmp/zel-bench-heldout") + "/speech";
    fs::create_directories(dir);
    return dir;
}

// The speaker's voice through its channel, 16 kHz mono, without the silence
// at both ends; kept on disk.
std::vector<int16_t> Say(const std::string& text, const TSpeaker& s) {
    std::string key = s.Voice + "|" + std::to_string(s.Speed) + "|" + std::to_string(s.Pitch) + "|" + s.Channel + "|" + text;
    std::string wav = CacheDir() + "/" + Hex(std::hash<std::string>{}(key)) + ".wav";
    if (!fs::exists(wav)) {
        std::string tmp = wav + "." + std::to_string(::getpid()) + ".wav";  // two runs may share the folder
        std::string cmd = "espeak-ng -v " + ShellQuote(s.Voice) + " -s " + std::to_string(s.Speed) + " -p " +
                          std::to_string(s.Pitch) + " --stdout " + ShellQuote(text) +
                          " | sox -q -t wav - -r 16000 -c 1 -b 16 " + ShellQuote(tmp) + " " + s.Channel + " 2>/dev/null";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("espeak-ng/sox failed: " + cmd);
        fs::rename(tmp, wav);
    }
    int32_t rate = 0;
    std::vector<int16_t> samples = ReadWavSamples(wav, rate);
    auto loud = [](int16_t v) { return v > 64 || v < -64; };
    auto first = std::find_if(samples.begin(), samples.end(), loud);
    auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    if (first >= last) return {};
    return std::vector<int16_t>(first, last);
}

// A clip that is not speech (music, noise), 16 kHz mono, made by sox.
std::vector<int16_t> Clip(int k) {
    static const char* synth[] = {
        "synth 3 pluck C4 pluck E4 pluck G4 tremolo 3 60",
        "synth 0.4 sine 440 : synth 0.4 sine 494 : synth 0.4 sine 523 : synth 0.4 sine 587 : synth 0.4 sine 659 : "
        "synth 0.4 sine 587",
        "synth 2.5 square 110 square 165 vol 0.3 tremolo 6 80",
        "synth 2 pinknoise vol 0.5 fade 0.1 2 0.5",
        "synth 3 sine 200-2000 vol 0.5",
        "synth 0.15 brownnoise : synth 0.3 sine 0 : synth 0.15 brownnoise : synth 0.3 sine 0 : synth 0.15 "
        "brownnoise : synth 0.3 sine 0 : synth 0.15 brownnoise"};
    std::string wav = CacheDir() + "/clip" + std::to_string(k) + ".wav";
    if (!fs::exists(wav)) {
        std::string cmd = "sox -q -n -r 16000 -c 1 -b 16 " + ShellQuote(wav) + " " + synth[k] + " 2>/dev/null";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("sox failed: " + cmd);
    }
    int32_t rate = 0;
    return ReadWavSamples(wav, rate);
}
constexpr int kClips = 6;

// Short sentences of fortunes-br, in file order; the tuning set takes the
// even ones, the held-out set the odd ones.
std::vector<std::string> OrdinarySentences(bool heldOut, size_t count) {
    std::string text = ReadFileBytes("/usr/share/games/fortunes/brasil");  // UTF-8
    std::vector<std::string> all;
    std::string cur;
    auto flush = [&] {
        std::istringstream in(cur);
        std::vector<std::string> words;
        std::string w;
        bool clean = true;
        while (in >> w) {
            std::string k;
            for (unsigned char c : w) {
                if (std::isalpha(c) || c >= 0x80) k += static_cast<char>(c);
                else if (std::isdigit(c) || c == '@' || c == '/' || c == '_' || c == '*') clean = false;
            }
            if (!k.empty()) words.push_back(k);
        }
        if (clean && words.size() >= 4 && words.size() <= 12) {
            std::string s;
            for (const auto& x : words) s += (s.empty() ? "" : " ") + x;
            all.push_back(s);
        }
        cur.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' || c == '!' || c == '?' || c == '%' || c == '\n' || c == ':' || c == '-' || c == '(' || c == ')' ||
            c == '"')
            flush();
        else cur += c;
    }
    flush();
    std::vector<std::string> out;
    for (size_t i = heldOut ? 1 : 0; i < all.size() && out.size() < count; i += 2 * std::max<size_t>(1, all.size() / (2 * count + 2)))
        out.push_back(all[i]);
    return out;
}

// Noise of a colour at a level relative to the speech's RMS.
void AddNoise(std::vector<int16_t>& samples, TNoise colour, double rmsSpeech, double snrDb, uint32_t seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0.0, 1.0);
    std::vector<double> n(samples.size());
    double b0 = 0, b1 = 0, b2 = 0, brown = 0;
    for (auto& v : n) {
        double w = g(gen);
        if (colour == TNoise::White) v = w;
        else if (colour == TNoise::Pink) {
            b0 = 0.99765 * b0 + w * 0.0990460;
            b1 = 0.96300 * b1 + w * 0.2965164;
            b2 = 0.57000 * b2 + w * 1.0526913;
            v = b0 + b1 + b2 + w * 0.1848;
        } else {
            brown = 0.995 * brown + w;
            v = brown;
        }
    }
    double rms = 0;
    for (double v : n) rms += v * v;
    rms = std::sqrt(rms / std::max<size_t>(1, n.size()));
    double scale = rms > 0 ? rmsSpeech / std::pow(10.0, snrDb / 20.0) / rms : 0;
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(std::clamp(samples[i] + n[i] * scale, -32768.0, 32767.0));
}

double Rms(const std::vector<int16_t>& s) {
    double sum = 0;
    for (int16_t v : s) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / std::max<size_t>(1, s.size()));
}

// One profile's recognizer files, generated as switch-on does.
struct TProfileFiles {
    std::string Name;
    std::string ArgFile;
    std::vector<std::string> Phrases;  // UTF-8, what is said and what must come back
    int Pairs = 0;                     // of which the last ones are number + command
    TVocabulary Vocabulary;
};

TProfileFiles Generate(const std::string& folder, const std::string& name, const TListaComandos& comandos,
                       const std::vector<std::string>& pairs) {
    fs::create_directories(folder + "sphinx");
    fs::copy_file(TemplateArgFile(), folder + "sphinx/sphinx.arg.default", fs::copy_options::overwrite_existing);
    fs::copy_file(std::string(ZEL_RUNTIME_DIR) + "/modnum.ini", folder + "modnum.ini", fs::copy_options::overwrite_existing);
    TEventLog log;
    TFakeDesktop desktop(log);
    TFakeTimer timer(log);
    TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.Prefs.ModNum = true;
    TSphinx sphinx(std::make_unique<TFakeRecognizerControl>(), folder + "sphinx/");
    GenerateRecognizerFiles(sphinx, ctx, {}, folder);
    TProfileFiles p;
    p.Name = name;
    p.ArgFile = folder + "sphinx.arg";
    p.Vocabulary = {sphinx.Control().NumberWords, sphinx.Control().CommandPhrases};
    for (const TComando& c : comandos)
        if (!c.Cmd.empty()) p.Phrases.push_back(Cp1252ToUtf8(c.Cmd));
    for (const auto& s : pairs) p.Phrases.push_back(s);
    p.Pairs = static_cast<int>(pairs.size());
    return p;
}

std::vector<TProfileFiles> Profiles(const std::string& dir) {
    std::vector<TProfileFiles> out;
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
};

// Result accepted at a threshold, from the confidence the control computed.
bool AcceptedAt(const TDecoded& r, int32_t t) {
    return AcceptUtterance(r.Text.empty(), r.Score.Confidence, t,
                           r.Score.GrammarVerdict > 0   ? TGrammarVerdict::Agrees
                           : r.Score.GrammarVerdict < 0 ? TGrammarVerdict::Disagrees
                                                        : TGrammarVerdict::NotChecked);
}

void RunCommands(const TProfileFiles& prof, const TSpeaker& sp, const std::string& dir, const TOptions& o,
                 const std::string& setName, TTally& tally) {
    TRecording rec;
    rec.AddSilence(0.6);
    std::vector<std::pair<double, double>> spans;
    std::vector<int16_t> speech;
    for (const auto& p : prof.Phrases) {
        double s = rec.Seconds();
        std::vector<int16_t> v = Say(p, sp);
        speech.insert(speech.end(), v.begin(), v.end());
        double e = rec.AddSpeech(v);
        spans.push_back({s, e});
        rec.AddSilence(0.9);
    }
    std::vector<int16_t> all = rec.Samples();
    AddNoise(all, sp.Noise, Rms(speech), sp.SnrDb, 4242);
    std::string wav = dir + "/cmd.wav";
    WriteWav(wav, all, 16000);
    std::vector<TDecoded> results = DecodeFile(prof.ArgFile, wav, o.Thresh, o.Extra, prof.Vocabulary);
    std::vector<std::vector<const TDecoded*>> per(prof.Phrases.size());
    for (const auto& r : results) {
        size_t k = 0;
        while (k + 1 < spans.size() && spans[k + 1].first < r.Score.AudioEndSeconds - 0.05) ++k;
        per[k].push_back(&r);
    }
    int ok = 0;
    std::string misses;
    const size_t firstPair = prof.Phrases.size() - static_cast<size_t>(prof.Pairs);
    for (size_t k = 0; k < prof.Phrases.size(); ++k) {
        std::vector<const TDecoded*> acc;
        for (auto* r : per[k]) {
            bool right = SameWords(r->Text, prof.Phrases[k]);
            if (o.Dump)
                std::fprintf(o.Dump, "%s\t%d\t%d\t%.3f\t%.3f\t%.3f\t%d\t%s\t%s\t%d\n", setName.c_str(), right ? 1 : 0,
                             r->Score.Confidence, r->Score.AcousticPerFrame, r->Score.MinWordPosterior,
                             r->Score.MeanAcousticPerFrame, r->Score.Words, prof.Phrases[k].c_str(), r->Text.c_str(), r->Score.GrammarVerdict);
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
    std::vector<std::vector<const TDecoded*>> per(items);
    for (const auto& r : results) {
        size_t k = 0;
        while (k + 1 < spans.size() && spans[k + 1].first < r.Score.AudioEndSeconds - 0.05) ++k;
        per[k].push_back(&r);
    }
    for (size_t k = 0; k < items; ++k) {
        bool acted = false;
        for (auto* r : per[k]) {
            if (o.Dump)
                std::fprintf(o.Dump, "%s\t2\t%d\t%.3f\t%.3f\t%.3f\t%d\t%s\t%s\t%d\n", setName.c_str(), r->Score.Confidence,
                             r->Score.AcousticPerFrame, r->Score.MinWordPosterior, r->Score.MeanAcousticPerFrame,
                             r->Score.Words, names[k].c_str(), r->Text.c_str(), r->Score.GrammarVerdict);
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
    RunNonCommands(profiles[0], speakers, heldOut, dir, o, setName, t);
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
        else {
            std::fprintf(stderr,
                         "usage: heldout_bench [--thresh N] [--set tuning|heldout|both] [--arg \"-name value\"]... "
                         "[--dump FILE] [--sweep] [--misses] [--voices N] [--only-new]\n");
            return 1;
        }
    }
    TTempDir dir;
    std::vector<TProfileFiles> profiles = Profiles(dir.File(""));
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
