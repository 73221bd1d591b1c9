#pragma once
// The program's own adaptation of the acoustic model to a voice, for where
// the Sphinx trainer's tools are not at hand (the Windows edition). The
// takes' features are computed as the recognizer computes them; each take is
// aligned with its sentence by the Viterbi algorithm over the model's
// triphones, and the frames of every Gaussian are gathered; the means move
// first by one MLLR transform per feature stream (the voice and its channel
// as a whole), then by MAP (each sound on its own, as far as the takes hold
// it); a second round aligns with the adapted model. Variances, mixture
// weights and transitions stay the installed model's.
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "recognition/training/SphinxModelFiles.h"

namespace zel {

struct TTrainingTake {
    std::vector<int16_t> Samples;  // at the model's rate
    std::vector<std::string> Words;
};

class TBuiltInTrainer {
public:
    // baseModel: the installed model's folder (with its separator);
    // feat: its feat.params options; logFile: where the engine's own
    // messages go while the trainer lives (appended), never the terminal.
    TBuiltInTrainer(std::string baseModel, std::map<std::string, std::string> feat, int32_t sampleRate,
                    const std::string& logFile);
    ~TBuiltInTrainer();
    TBuiltInTrainer(const TBuiltInTrainer&) = delete;
    TBuiltInTrainer& operator=(const TBuiltInTrainer&) = delete;

    // The steps, in this order. Each raises a message when it cannot go on.
    // workFolder takes the text form of the model definition.
    void ReadModel(const std::string& workFolder);
    void ComputeFeatures(const std::vector<TTrainingTake>& takes);
    // dictionary: the words' pronunciations, phones separated by blanks.
    void SetDictionary(std::unordered_map<std::string, std::string> dictionary) { dictionary_ = std::move(dictionary); }
    // Aligns every take with the current means and gathers the statistics;
    // returns how many takes could be aligned.
    size_t Align();
    // The prior means under the transform estimated from the statistics.
    void Mllr();
    // The current means: the prior ones moved toward the statistics, by
    // weight tau of the prior.
    void Map(double tau);

    const TGaussians& Means() const { return means_; }
    // The bytes of the adapted means' file.
    std::string MeansFile() const { return GaussiansFile(means_); }
    // Frames of the last alignment, and its average log-likelihood per frame.
    size_t AlignedFrames() const { return alignedFrames_; }
    double AverageLogLikelihood() const { return alignedFrames_ ? totalLogLikelihood_ / alignedFrames_ : 0.0; }

    struct TModel;
    struct TStatistics;

private:
    std::FILE* engineLog_ = nullptr;
    std::FILE* engineLogBefore_ = nullptr;
    std::string base_;
    std::map<std::string, std::string> feat_;
    int32_t sampleRate_;
    std::unique_ptr<TModel> model_;
    std::unique_ptr<TStatistics> stats_;
    TGaussians prior_, means_;
    std::unordered_map<std::string, std::string> dictionary_;
    std::vector<std::vector<std::vector<float>>> features_;  // take, frame, the streams one after the other
    std::vector<std::vector<std::string>> words_;
    size_t alignedFrames_ = 0;
    double totalLogLikelihood_ = 0;
};

}  // namespace zel
