// Accuracy of the recognizer on speech made here: the commands of a profile
// and the number words spoken by espeak-ng's Brazilian voices at several
// speeds, with pauses and a faint noise floor; plus pure noise and ordinary
// (non-command) speech, which should give no result. Prints, per voice, the
// share of phrases recognized exactly, and the false results.
//
//   accuracy_bench [--thresh N] [--arg "-name value"]... [--voices N] [--floor A] [--scores] [--sweep] [--dump FILE]
//
// --floor: peak of the noise floor under the commands (0: digital silence).
// --sweep: the exact share and the false results at several thresholds.
// --dump: one line per result: right (1), wrong (0) or ordinary speech (2),
// then the measures of TUtteranceScore.
//
// --arg lines are appended to the argument file (they win over the template),
// so engine settings can be tried without rebuilding.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "recognition/SphinxControl.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/SpeechFixture.h"
#include "tests/support/TempDir.h"

using namespace zel;
using namespace zeltest;

namespace {

std::FILE* gDump = nullptr;

// The measures of each result, in the bench's own terms.
struct TResult {
    std::string Text;  // UTF-8
    int32_t Confidence;
    double End;
    bool Accepted;
    double MinAc, MeanAc, MinPost;
    int Words;
};

std::vector<TResult> Decode(const TCommandSet& set, const std::string& wav, int32_t thresh,
                            const std::vector<std::string>& extra) {
    std::vector<TResult> out;
    for (const TDecoded& d : DecodeFile(set.ArgFile, wav, thresh, extra, set.Vocabulary))
        out.push_back({d.Text, d.Score.Confidence, d.Score.AudioEndSeconds, d.Score.Accepted, d.Score.AcousticPerFrame,
                       d.Score.MeanAcousticPerFrame, d.Score.MinWordPosterior, d.Score.Words});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    int32_t thresh = -1;
    size_t nVoices = 100;
    bool scores = false, sweepOut = false;
    double floor = kNoiseFloor;
    std::vector<std::string> extra;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--thresh" && i + 1 < argc) thresh = std::atoi(argv[++i]);
        else if (a == "--arg" && i + 1 < argc) extra.push_back(argv[++i]);
        else if (a == "--voices" && i + 1 < argc) nVoices = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--scores") scores = true;
        else if (a == "--sweep") sweepOut = true;
        else if (a == "--floor" && i + 1 < argc) floor = std::atof(argv[++i]);
        else if (a == "--dump" && i + 1 < argc) gDump = std::fopen(argv[++i], "w");
        else {
            std::cerr << "usage: accuracy_bench [--thresh N] [--arg \"-name value\"]... [--voices N] [--floor A] [--scores] [--sweep] [--dump FILE]\n";
            return 1;
        }
    }
    TTempDir dir;
    TCommandSet set = MakeCommandSet(dir.File(""), DefaultCommandPhrases(), true, {});
    if (thresh < 0) thresh = 45;

    std::vector<TVoice> voices = TestVoices();
    if (voices.size() > nVoices) voices.resize(nVoices);
    int totalOk = 0, totalN = 0, falseOther = 0, falseNoise = 0;
    std::map<int, std::pair<int, int>> hist;  // confidence decile → (right, wrong)
    // Exact phrases, ordinary sentences with a result and noise results as the
    // threshold would make them, from the same decoding (--sweep).
    const std::vector<int32_t> sweepAt = {0, 30, 40, 45, 50, 55, 60, 70};
    std::map<int32_t, std::array<int, 3>> sweep;
    for (const TVoice& v : voices) {
        std::vector<std::string> phrases = set.Phrases;  // UTF-8
        TRecording rec;
        rec.AddSilence(0.6);
        std::vector<std::pair<double, double>> spans;
        for (const auto& p : phrases) {
            double s = rec.Seconds();
            double e = rec.AddSpeech(Speak(p, v));
            spans.push_back({s, e});
            rec.AddSilence(0.9);
        }
        if (floor > 0) rec.AddNoiseFloor(floor);
        std::string wav = dir.File("v.wav");
        rec.WriteWav(wav);
        auto results = Decode(set, wav, thresh, extra);
        std::vector<std::vector<const TResult*>> per(phrases.size());
        for (const auto& r : results) {
            size_t k = 0;
            while (k + 1 < spans.size() && spans[k + 1].first < r.End - 0.05) ++k;
            per[k].push_back(&r);
        }
        int ok = 0;
        std::string misses;
        for (size_t k = 0; k < phrases.size(); ++k) {
            std::vector<const TResult*> acc;
            for (auto* r : per[k]) {
                bool right = SameWords(r->Text, set.Expected[k]);
                hist[r->Confidence / 10].first += right;
                if (gDump) std::fprintf(gDump, "%d\t%f\t%f\t%f\t%d\n", right ? 1 : 0, r->MinAc, r->MeanAc, r->MinPost, r->Words);
                hist[r->Confidence / 10].second += !right;
                if (r->Accepted) acc.push_back(r);
            }
            for (int32_t t : sweepAt) {
                std::vector<const TResult*> at;
                for (auto* r : per[k])
                    if (!r->Text.empty() && r->Confidence >= t) at.push_back(r);
                if (at.size() == 1 && SameWords(at[0]->Text, set.Expected[k])) ++sweep[t][0];
            }
            if (acc.size() == 1 && SameWords(acc[0]->Text, set.Expected[k])) ++ok;
            else {
                misses += " [" + phrases[k] + " →";
                for (auto* r : per[k]) misses += " " + r->Text + "(" + std::to_string(r->Confidence) + ")";
                misses += "]";
            }
        }
        totalOk += ok;
        totalN += static_cast<int>(phrases.size());
        std::printf("%-14s %3d/%3zu  %5.1f%%%s\n", v.Label().c_str(), ok, phrases.size(), 100.0 * ok / phrases.size(),
                    misses.c_str());
        std::fflush(stdout);
    }
    // Non-command speech, in short sentences.
    {
        TRecording rec;
        rec.AddSilence(0.6);
        for (const auto& s : NonCommandSentences()) {
            rec.AddSpeech(Speak(s, voices[0]));
            rec.AddSilence(0.9);
        }
        rec.AddNoiseFloor(kNoiseFloor);
        std::string wav = dir.File("other.wav");
        rec.WriteWav(wav);
        for (const auto& r : Decode(set, wav, thresh, extra)) {
            hist[r.Confidence / 10].second++;
            for (int32_t t : sweepAt) sweep[t][1] += r.Confidence >= t;
            if (gDump) std::fprintf(gDump, "2\t%f\t%f\t%f\t%d\n", r.MinAc, r.MeanAc, r.MinPost, r.Words);
            if (r.Accepted) {
                ++falseOther;
                std::printf("  false result on speech: %s (%d)\n", r.Text.c_str(), r.Confidence);
            }
        }
    }
    // Pure noise: the floor alone, then louder white noise.
    for (double amp : {kNoiseFloor, 0.03, 0.1}) {
        TRecording rec;
        rec.AddNoise(20, amp);
        std::string wav = dir.File("noise.wav");
        rec.WriteWav(wav);
        for (const auto& r : Decode(set, wav, thresh, extra)) {
            hist[r.Confidence / 10].second++;
            for (int32_t t : sweepAt) sweep[t][2] += r.Confidence >= t;
            if (r.Accepted) {
                ++falseNoise;
                std::printf("  false result on noise %.3f: %s (%d)\n", amp, r.Text.c_str(), r.Confidence);
            }
        }
    }
    std::printf("TOTAL exact %d/%d = %.1f%%  false results: speech %d (of %zu sentences), noise %d  threshold %d\n",
                totalOk, totalN, 100.0 * totalOk / totalN, falseOther, NonCommandSentences().size(), falseNoise,
                thresh);
    if (sweepOut)
        for (int32_t t : sweepAt)
            std::printf("  threshold %3d: exact %d/%d = %.1f%%  speech results %d  noise results %d\n", t,
                        sweep[t][0], totalN, 100.0 * sweep[t][0] / totalN, sweep[t][1], sweep[t][2]);
    if (scores)
        for (auto& [d, rw] : hist) std::printf("  confidence %3d-%3d: right %4d wrong %4d\n", d * 10, d * 10 + 9, rw.first, rw.second);
    return 0;
}
