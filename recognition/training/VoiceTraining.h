#pragma once
// Adapts the acoustic model to the user's voice and microphone: recordings of
// known sentences go through the trainer's tools (sphinx_fe for the features,
// bw for the statistics, mllr_solve and mllr_transform for a transform of
// all the means, map_adapt for the new means and variances) and the
// result becomes the folder "voz/" of the program (VoiceFolder.h), which every
// later switch-on loads instead of the installed model.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zel {

// One recording and what it says (core text).
struct TPrompt {
    std::string Wav;
    std::string Sentence;
};

// The name a folder of recordings gives its list.
inline constexpr const char* kPromptListName = "lista.tsv";

// A list file: lines "file.wav<TAB>sentence", the names relative to the
// list's folder; blank lines and lines starting with "#" are left out. The
// list may be UTF-8 or Windows-1252 (told apart by its bytes). A line
// without a tab raises a message with its number.
std::vector<TPrompt> ReadPromptList(const std::string& listFile);

// True when a take never rose above a quiet room's noise (its loudest
// sample under -34 dB of full scale): a muted or wrong microphone, nothing
// the trainer could learn a voice from.
bool HeardNothing(const std::vector<int16_t>& take);
inline constexpr const char* kHeardNothingMessage = "Nada foi ouvido: verifique o microfone e grave de novo.";
// The shipped prompt sentences: one a line, "#" lines are comments.
std::vector<std::string> ReadPromptSentences(const std::string& fileName);

// The words of a sentence as the trainer's dictionary and transcript hold
// them: lower case, punctuation left out.
std::vector<std::string> PromptWords(const std::string& sentence);

// How the model moves toward the voice. One MLLR transform of all the means
// (the voice and its channel as a whole), then two rounds of MAP on top of it
// (each sound on its own, the second aligned by the first) measured best;
// the rest stays for the benchmark's trials.
struct TAdaptation {
    bool Mllr = true;             // the MLLR transform first, MAP moving from the transformed means
    bool MixtureWeights = false;  // MAP of the mixture weights too (the model then has them unquantized)
    int Passes = 2;               // rounds of bw + map_adapt, each aligning with the model of the round before
    // MAP's prior weight, fixed; 0: map_adapt estimates it. With the simple
    // update of the means it weighs only the variances' prior, and a heavy
    // prior did better on the tuning voices, most at 10 dB of noise.
    double Tau = 100;
    bool BayesMean = true;        // map_adapt's simple update of the means, which ignores tau
    // The program's own trainer (BuiltInTrainer.h) instead of the Sphinx
    // trainer's tools: the Windows edition has no such tools. Its MAP weighs
    // the prior mean by BuiltInTau frames; a light prior did best on the
    // tuning voices (50: 88.1% exact, 15: 93.8%, 5: 96.2%, 2: 97.8%, 0.5: 98.1%).
#ifdef _WIN32
    bool BuiltIn = true;
#else
    bool BuiltIn = false;
#endif
    double BuiltInTau = 0.5;
};

struct TTrainingSetup {
    std::string ProgramFolder;  // gets voz/ and the log, ends in "/"
    std::string BaseModel;      // the installed acoustic model's folder
    std::string ToolFolder = "/usr/lib/sphinxtrain/";  // bw and map_adapt
    std::string BinFolder;  // sphinx_fe and pocketsphinx_mdef_convert; empty: found on PATH
    int32_t SampleRate = 16000;  // the model's
    TAdaptation Adapt;
    // How long one tool may run before it is ended as hung (a full disk it
    // retries on forever); 0: 120 s and 10 s a recording, far more than a
    // step takes.
    int ToolSeconds = 0;
};

struct TTrainingStep {
    std::string Name;
    double Seconds = 0;
};
struct TTrainingReport {
    std::vector<TTrainingStep> Steps;
    double SpeechSeconds = 0;  // the recordings' length
    size_t UsedTakes = 0;      // the recordings the last round could align with their sentences
};

// Where an installation keeps the training tools: Debian's sphinxtrain on
// Linux; the Windows edition needs none (its trainer is the program's own).
std::string TrainingToolFolder(const std::string& installation);

// A training of the program's folder with the installation's model (the
// one its argument file names) and tools.
TTrainingSetup InstalledTrainingSetup(const std::string& programFolder, const std::string& installation);

// The log of the last training, in the program's folder.
inline constexpr const char* kTrainingLogName = "treino.log";

// The installed model named by the "-hmm" line of the program's argument file,
// or of the template in the recognizer's folder when there is none yet.
std::string InstalledAcousticModel(const std::string& programFolder, const std::string& recognizerFolder);

// Trains and puts the new model in place. progress gets a short text before
// each step. Raises a message naming the step that failed and the log; the
// earlier adapted model then stays as it was.
TTrainingReport TrainVoice(const TTrainingSetup& setup, const std::vector<TPrompt>& prompts,
                           const std::function<void(const std::string&)>& progress = {});

}  // namespace zel
