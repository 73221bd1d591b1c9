// Speed of the recognizer for a profile of 200 commands, with and without a
// large dictation bundle in the model:
//  - real-time factor: decoding time / audio time, the 200 commands spoken
//    one after the other and read from a file as fast as the engine goes;
//  - latency: from the end of a spoken command in the audio to its result
//    event on the owner's thread, with the file read at speaking pace (as a
//    microphone delivers it), over the first --latency N commands.
//
//   latency_bench [--corpus FILE] [--latency N] [--each] [--arg "-name value"]...
//
// --corpus: a Windows-1252 text corpus, one sentence a line; its bundle (as
// loading it on the dictation page makes it) goes into the dictation memo
// for the second half of the run. run.sh builds one from Debian packages.
// --each prints every command's latency (the run's first one is decoded
// again with the new cepstral mean).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "commands/Cp1252.h"
#include "commands/LocaleCollator.h"
#include "commands/TextFile.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/SphinxControl.h"
#include "recognition/decoding/SavedMeans.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;
using Clock = std::chrono::steady_clock;

namespace {

// 200 command phrases: the bench's usual commands, then the most frequent
// longer words of the corpus (or of a built-in list), all distinct.
std::vector<std::string> CommandPhrases(const std::string& corpus) {
    std::vector<std::string> phrases = DefaultCommandPhrases();
    std::set<std::string> seen;
    for (const auto& p : phrases) seen.insert(LocaleSortKey(Utf8ToCp1252(p)));
    std::map<std::string, int> freq;
    std::vector<std::string> lines;
    if (!corpus.empty()) lines = ReadLines(corpus);
    else
        lines = {Utf8ToCp1252("arquivo janela programa documento terminal navegador música vídeo imagem pasta "
                              "mensagem contato agenda tarefa projeto relatório planilha apresentação desenho "
                              "calculadora relógio alarme teclado monitor impressora scanner câmera microfone")};
    for (const auto& line : lines) {
        std::string word;
        for (size_t i = 0; i <= line.size(); ++i) {
            unsigned char c = i < line.size() ? static_cast<unsigned char>(line[i]) : ' ';
            bool letter = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c != 0xF7);
            if (letter) word += static_cast<char>(c);
            else {
                if (word.size() >= 5 && word.size() <= 11) ++freq[word];
                word.clear();
            }
        }
    }
    std::vector<std::pair<int, std::string>> byFreq;
    for (auto& [w, n] : freq) byFreq.push_back({-n, w});
    std::sort(byFreq.begin(), byFreq.end());
    for (auto& [n, w] : byFreq) {
        if (phrases.size() >= 200) break;
        if (seen.insert(LocaleSortKey(w)).second) phrases.push_back(Cp1252ToUtf8(w));
    }
    // Without a corpus: numbered pairs fill the list.
    const char* second[] = {"um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove", "dez"};
    for (size_t i = 0; phrases.size() < 200; ++i)
        phrases.push_back(phrases[i % 40] + " " + second[(i / 40) % 10]);
    return phrases;
}

std::vector<std::string> BundleOf(const std::string& corpus, const std::string& folder) {
    std::filesystem::create_directories(NativePath(folder));
    TParserPortugues parser;
    parser.ResetCounts();
    parser.LoadCorpusFile(corpus);
    parser.GenerateModelFiles(folder);
    std::printf("dictation bundle: %d unigrams, %d bigrams, %d trigrams\n", parser.NumUnigrams(),
                parser.NumBigrams(), parser.NumTrigrams());
    return ReadLines(folder + kBundleFileName);
}

struct TRunResult {
    double audioSeconds = 0, wallSeconds = 0;
    int exact = 0, total = 0;
    std::vector<double> latencies;  // seconds
    double againFirst = 0;          // the first command's, switched on again
    double nextProgramFirst = 0;    // the first command's in the program's next run
};

std::vector<std::string> gExtra;  // --arg lines
bool gEach = false;                // --each: every command's latency

TRunResult Run(const TCommandSet& set, const std::vector<std::string>& phrases, size_t count, bool realTime,
               const std::string& wavName) {
    TRecording rec;
    rec.AddSilence(0.6);
    std::vector<std::pair<double, double>> spans;
    for (size_t i = 0; i < count; ++i) {
        double s = rec.Seconds();
        double e = rec.AddSpeech(Speak(phrases[i], TVoice{"pt-br", 150}));
        spans.push_back({s, e});
        rec.AddSilence(0.9);
    }
    rec.AddNoiseFloor(kNoiseFloor);
    std::string wav = set.Folder + wavName;
    rec.WriteWav(wav);

    std::vector<std::string> lines = ReadLines(set.ArgFile);
    if (realTime) lines.push_back("-audiorealtime yes");
    lines.insert(lines.end(), gExtra.begin(), gExtra.end());
    WriteLines(set.Folder + "bench.arg", lines);

    TEventQueue q;
    struct THeard {
        std::string text;
        double end;
        Clock::time_point at;
    };
    std::vector<THeard> heard;
    bool done = false;
    // The means are kept where the program keeps them; the first run of the
    // bench starts, as the program's very first does, from the model's.
    const std::string meanFile = set.Folder + kSavedMeansFileName;
    std::filesystem::remove(NativePath(meanFile));
    auto makeControl = [&] {
        auto c = std::make_unique<TSphinxControl>(q);
        c->ArgFile = Cp1252ToUtf16(set.Folder + "bench.arg");
        c->LogFile = Cp1252ToUtf16(set.Folder + "bench.log");
        c->MeanFile = Cp1252ToUtf16(meanFile);
        c->AudioFile = wav;
        // The settings' default threshold: the results are checked against the
        // profile's grammar, as in the program.
        c->ConfThreshPercentage = 50;
        c->NumberWords = set.Vocabulary.NumberWords;
        c->CommandPhrases = set.Vocabulary.CommandPhrases;
        c->OnUtteranceScore = [&](const TUtteranceScore& s) {
            heard.push_back({Cp1252ToUtf8(SentenceFromResult(s.Text)), s.AudioEndSeconds, Clock::now()});
        };
        c->OnStopListening = [&] { done = true; };
        c->InitRecognizer();
        return c;
    };
    std::unique_ptr<TSphinxControl> c = makeControl();
    auto t0 = Clock::now();
    c->StartRecognizer();
    q.RunUntil([&] { return done; }, std::chrono::hours(1));
    TRunResult r;
    r.wallSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    r.audioSeconds = rec.Seconds();
    c->StopRecognizer();
    if (realTime) {
        // The first command again, as a user hears it after every switch-on
        // but the first: switched on again, the control starts from the
        // cepstral mean the first run ended with; in a new run of the
        // program, from the one kept in the runtime folder.
        std::vector<THeard> firstRun = std::move(heard);
        auto firstAgain = [&](TSphinxControl& control) {
            heard.clear();
            done = false;
            auto t1 = Clock::now();
            control.StartRecognizer();
            q.RunUntil([&] { return done || !heard.empty(); }, std::chrono::minutes(1));
            control.StopRecognizer();
            return heard.empty() ? 0.0
                                 : std::chrono::duration<double>(heard.front().at - t1).count() - spans.front().second;
        };
        c->InitRecognizer();
        r.againFirst = firstAgain(*c);
        c.reset();
        c = makeControl();
        r.nextProgramFirst = firstAgain(*c);
        heard = std::move(firstRun);
    }

    std::vector<std::vector<const THeard*>> per(count);
    for (const auto& h : heard) {
        size_t k = 0;
        while (k + 1 < spans.size() && spans[k + 1].first < h.end - 0.05) ++k;
        per[k].push_back(&h);
    }
    r.total = static_cast<int>(count);
    for (size_t k = 0; k < count; ++k) {
        if (per[k].size() == 1 && SameWords(per[k][0]->text, phrases[k])) ++r.exact;
        if (!per[k].empty() && realTime)
            r.latencies.push_back(std::chrono::duration<double>(per[k].back()->at - t0).count() - spans[k].second);
        if (!per[k].empty() && realTime && gEach) std::printf("  %3zu %-24s %.3f s\n", k + 1, phrases[k].c_str(), r.latencies.back());
    }
    return r;
}

void Report(const char* label, const TRunResult& fast, const TRunResult& paced) {
    std::vector<double> l = paced.latencies;
    std::sort(l.begin(), l.end());
    auto pct = [&](double q) { return l.empty() ? 0.0 : l[static_cast<size_t>(q * (l.size() - 1))]; };
    double mean = 0;
    for (double v : l) mean += v;
    mean = l.empty() ? 0 : mean / l.size();
    std::printf("%s\n  real-time factor %.3f (%.1f s of audio decoded in %.1f s), exact %d/%d\n", label,
                fast.wallSeconds / fast.audioSeconds, fast.audioSeconds, fast.wallSeconds, fast.exact, fast.total);
    std::printf("  end of speech -> result: mean %.3f s, median %.3f s, 90%% %.3f s, max %.3f s (%zu commands)\n",
                mean, pct(0.5), pct(0.9), pct(1.0), l.size());
    std::printf("  the first command's: %.3f s; switched on again: %.3f s; the program's next run: %.3f s\n",
                paced.latencies.empty() ? 0.0 : paced.latencies.front(), paced.againFirst, paced.nextProgramFirst);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::string corpus;
    size_t latencyCount = 30;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--corpus" && i + 1 < argc) corpus = argv[++i];
        else if (a == "--latency" && i + 1 < argc) latencyCount = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--arg" && i + 1 < argc) gExtra.push_back(argv[++i]);
        else if (a == "--each") gEach = true;
        else {
            std::cerr << "usage: latency_bench [--corpus FILE] [--latency N] [--each] [--arg \"-name value\"]...\n";
            return 1;
        }
    }
    TTempDir dir;
    std::vector<std::string> phrases = CommandPhrases(corpus);
    latencyCount = std::min(latencyCount, phrases.size());

    TCommandSet plain = MakeCommandSet(dir.File("plain"), phrases, false, {});
    Report("200 commands", Run(plain, phrases, phrases.size(), false, "fast.wav"),
           Run(plain, phrases, latencyCount, true, "paced.wav"));
    if (!corpus.empty()) {
        std::vector<std::string> bundle = BundleOf(corpus, dir.File("corpus/"));
        std::vector<std::string> bundleUtf8;
        for (const auto& l : bundle) bundleUtf8.push_back(Cp1252ToUtf8(l));
        TCommandSet big = MakeCommandSet(dir.File("big"), phrases, false, bundleUtf8);
        Report("200 commands + dictation bundle", Run(big, phrases, phrases.size(), false, "fast.wav"),
               Run(big, phrases, latencyCount, true, "paced.wav"));
    }
    return 0;
}
