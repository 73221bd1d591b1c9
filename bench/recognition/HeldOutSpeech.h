#pragma once
// The held-out protocol's speakers and speech, shared by the benchmarks that
// score recognition on voices nobody tuned on: synthetic speakers (an
// espeak-ng Brazilian voice at its own speed and pitch, through its own
// channel and noise), a user's own command vocabulary, ordinary sentences,
// and a profile's recognizer files generated as switch-on does.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "commands/Comandos.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"

namespace zelbench {

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


inline const std::string kBandPass = "sinc 300-3400";
inline const std::string kRoom = "reverb 40 50 30";

// Fixed before anything was measured with them; the tuning set may be tuned
// on, the held-out set is only ever reported.
std::vector<TSpeaker> TuningSpeakers();
std::vector<TSpeaker> HeldOutSpeakers();

// A user's own commands: none of them in the shipped profiles.
std::vector<std::string> NewVocabulary();
// "number command" pairs of that vocabulary.
std::vector<std::string> NewVocabularyPairs();

std::string ShellQuote(const std::string& s);
// $ZEL_BENCH_DIR/speech (default /tmp/zel-bench-heldout/speech): synthesized
// speech kept between runs.
std::string CacheDir();
// The speaker's voice through its channel, 16 kHz mono, without the silence
// at both ends; kept on disk.
std::vector<int16_t> Say(const std::string& text, const TSpeaker& s);
// Short sentences of fortunes-br, in file order; the tuning set takes the
// even ones, the held-out set the odd ones.
std::vector<std::string> OrdinarySentences(bool heldOut, size_t count);
// One of six clips that are not speech (music, noise), 16 kHz mono, made by
// sox and kept in the cache: its WAV file.
std::string ClipFile(int k);
// Noise of a colour at a level relative to the speech's RMS.
void AddNoise(std::vector<int16_t>& samples, TNoise colour, double rmsSpeech, double snrDb, uint32_t seed);
double Rms(const std::vector<int16_t>& s);

// One profile's recognizer files, generated as switch-on does.
struct TProfileFiles {
    std::string Name;
    std::string ArgFile;
    std::vector<std::string> Phrases;  // UTF-8, what is said and what must come back
    int Pairs = 0;                     // of which the last ones are number + command
    zeltest::TVocabulary Vocabulary;
};

// Generates the files into folder (with the program's template and
// modnum.ini, numbers ticked) from the commands and the dictation lines
// (core text); pairs are spoken after them.
TProfileFiles Generate(const std::string& folder, const std::string& name, const zel::TListaComandos& comandos,
                       const std::vector<std::string>& pairs, const std::vector<std::string>& ditado = {});

// The phrases said one after the other by the speaker, with pauses, under the
// speaker's noise, written to wav; returns each phrase's (start, end) in seconds.
std::vector<std::pair<double, double>> WriteSpokenPhrases(const std::vector<std::string>& phrases, const TSpeaker& sp,
                                                          const std::string& wav);

// The results heard while each item of a recording played: spans are the
// items' (start, end) in seconds, in order; a result belongs to the last item
// that started before it ended.
std::vector<std::vector<const zeltest::TDecoded*>> ResultsPerItem(const std::vector<zeltest::TDecoded>& results,
                                                                 const std::vector<std::pair<double, double>>& spans);

// The training prompts in the speaker's voice, with its channel and noise,
// as "N.wav" in dir (made when missing) and the list "lista.tsv" naming each
// with its sentence (core text), as `zelcmd train --prompts` reads it.
// Returns the list's name.
std::string WritePrompts(const std::vector<std::string>& sentences, const TSpeaker& sp, const std::string& dir);

}  // namespace zelbench
