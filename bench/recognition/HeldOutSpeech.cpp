#include "bench/recognition/HeldOutSpeech.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

#include "actions/ActionContext.h"
#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/AudioSource.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/WavWriter.h"
#include "tests/integration/recognition/SpeechFixture.h"

namespace zelbench {

using namespace zel;
using namespace zeltest;
namespace fs = std::filesystem;

namespace {

std::string Hex(uint64_t v) {
    char b[17];
    std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(v));
    return b;
}

}  // namespace

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

// A clip that is not speech (music, noise), 16 kHz mono, made by sox.
std::string ClipFile(int k) {
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
    return wav;
}

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



TProfileFiles Generate(const std::string& folder, const std::string& name, const TListaComandos& comandos,
                       const std::vector<std::string>& pairs, const std::vector<std::string>& ditado) {
    fs::create_directories(folder + "sphinx");
    fs::copy_file(TemplateArgFile(), folder + "sphinx/sphinx.arg.default", fs::copy_options::overwrite_existing);
    fs::copy_file(std::string(ZEL_RUNTIME_DIR) + "/modnum.ini", folder + "modnum.ini", fs::copy_options::overwrite_existing);
    TEventLog log;
    TFakeDesktop desktop(log);
    TFakeTimer timer(log);
    TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.Prefs.ModNum = true;
    TSphinx sphinx(std::make_unique<TFakeRecognizerControl>(), folder + "sphinx/");
    GenerateRecognizerFiles(sphinx, ctx, ditado, folder);
    TProfileFiles p;
    p.Name = name;
    p.ArgFile = folder + "sphinx.arg";
    p.Vocabulary = {sphinx.Control().NumberWords, sphinx.Control().CommandPhrases,
                    Utf16ToCp1252(sphinx.Control().AcousticModel)};
    for (const TComando& c : comandos)
        if (!c.Cmd.empty()) p.Phrases.push_back(Cp1252ToUtf8(c.Cmd));
    for (const auto& s : pairs) p.Phrases.push_back(s);
    p.Pairs = static_cast<int>(pairs.size());
    return p;
}

std::vector<std::pair<double, double>> WriteSpokenPhrases(const std::vector<std::string>& phrases, const TSpeaker& sp,
                                                          const std::string& wav) {
    TRecording rec;
    rec.AddSilence(0.6);
    std::vector<std::pair<double, double>> spans;
    std::vector<int16_t> speech;
    for (const auto& p : phrases) {
        double s = rec.Seconds();
        std::vector<int16_t> v = Say(p, sp);
        speech.insert(speech.end(), v.begin(), v.end());
        double e = rec.AddSpeech(v);
        spans.push_back({s, e});
        rec.AddSilence(0.9);
    }
    std::vector<int16_t> all = rec.Samples();
    AddNoise(all, sp.Noise, Rms(speech), sp.SnrDb, 4242);
    WriteWav(wav, all, 16000);
    return spans;
}

std::vector<std::vector<const TDecoded*>> ResultsPerItem(const std::vector<TDecoded>& results,
                                                         const std::vector<std::pair<double, double>>& spans) {
    std::vector<std::vector<const TDecoded*>> per(spans.size());
    for (const auto& r : results) {
        size_t k = 0;
        while (k + 1 < spans.size() && spans[k + 1].first < r.Score.AudioEndSeconds - 0.05) ++k;
        per[k].push_back(&r);
    }
    return per;
}

std::string WritePrompts(const std::vector<std::string>& sentences, const TSpeaker& sp, const std::string& dir) {
    std::filesystem::create_directories(dir);
    std::string list;
    for (size_t i = 0; i < sentences.size(); ++i) {
        const std::vector<int16_t> v = Say(Cp1252ToUtf8(sentences[i]), sp);
        std::vector<int16_t> take(static_cast<size_t>(0.4 * 16000), 0);
        take.insert(take.end(), v.begin(), v.end());
        take.insert(take.end(), static_cast<size_t>(0.4 * 16000), 0);
        AddNoise(take, sp.Noise, Rms(v), sp.SnrDb, 500 + static_cast<uint32_t>(i));
        const std::string name = std::to_string(i) + ".wav";
        WriteFileAtomic(dir + name, WavFileBytes(take, 16000));
        list += name + "\t" + sentences[i] + "\r\n";
    }
    WriteFileAtomic(dir + "lista.tsv", list);
    return dir + "lista.tsv";
}

}  // namespace zelbench
