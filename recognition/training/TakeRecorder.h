#pragma once
// Records one prompt sentence read aloud: the samples of an audio source
// (the microphone) from Start to Stop, on a thread of its own, with the level
// of the last moments for a meter. Used by `zelcmd train --record` and the
// window's training page.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "recognition/AudioSource.h"
#include "recognition/training/VoiceTraining.h"

namespace zel {

class TTakeRecorder {
public:
    ~TTakeRecorder();
    // Starts reading the source; a recording already under way is dropped.
    void Start(std::unique_ptr<IAudioSource> source);
    // Stops and returns what was recorded. A microphone that has stopped
    // delivering (a stalled audio server) is not waited for: its reading
    // thread is left to end on its own, with the source.
    std::vector<int16_t> Stop();
    bool Recording() const { return take_ != nullptr; }
    // The peak of the last chunk read, 0..100 of full scale.
    int Level() const { return take_ ? take_->Level.load() : 0; }

private:
    // What the reading thread shares with the recorder; it outlives the
    // recorder when the thread is left behind.
    struct TTake {
        std::unique_ptr<IAudioSource> Source;
        std::atomic<bool> Stop{false};
        std::atomic<int> Level{0};
        std::mutex Mutex;
        std::condition_variable Ended;
        bool Done = false;
        std::vector<int16_t> Samples;
    };
    std::shared_ptr<TTake> take_;
    std::thread thread_;
};

// The training session's folder, in the program's folder.
inline constexpr const char* kTakeFolderName = "gravacoes/";

// The takes of a training session in folder (made when missing): take i as
// "NNN.wav", and "lista.tsv" naming each with its sentence, as
// `zelcmd train --prompts` reads it. Returns the prompts for TrainVoice.
class TTakeFolder {
public:
    TTakeFolder(std::string folder, std::vector<std::string> sentences);
    // Keeps the take of sentence i (replacing an earlier one) and rewrites the list.
    void Keep(size_t i, const std::vector<int16_t>& samples, int32_t rate);
    // Takes sentence i back out of the list (to be recorded again).
    void Forget(size_t i);
    bool Has(size_t i) const { return i < taken_.size() && taken_[i]; }
    size_t Count() const;
    const std::vector<std::string>& Sentences() const { return sentences_; }
    // The kept takes, in sentence order.
    std::vector<TPrompt> Prompts() const;

private:
    std::string WavName(size_t i) const;
    void WriteList() const;
    std::string folder_;
    std::vector<std::string> sentences_;
    std::vector<bool> taken_;
};

}  // namespace zel
