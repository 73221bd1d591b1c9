#include "recognition/training/TakeRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "recognition/WavWriter.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

TEST(TakeRecorder, KeepsEverySampleFromStartToStopAndShowsTheLevel) {
    zeltest::TTempDir dir;
    std::vector<int16_t> spoken(16000 * 2);
    for (size_t i = 0; i < spoken.size(); ++i) spoken[i] = static_cast<int16_t>((i % 100) * 160 - 8000);
    dir.Write("mic.wav", WavFileBytes(spoken, 16000));
    TTakeRecorder recorder;
    // The source speaks at its own pace; the meter follows it.
    recorder.Start(std::make_unique<TWavFileSource>(dir.File("mic.wav"), 16000, true));
    int level = 0;
    for (int i = 0; i < 100 && level == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        level = recorder.Level();
    }
    EXPECT_EQ(level, 24);  // peak 8000 of 32768
    std::vector<int16_t> early = recorder.Stop();
    EXPECT_GT(early.size(), 0u);
    EXPECT_LT(early.size(), spoken.size());
    EXPECT_TRUE(std::equal(early.begin(), early.end(), spoken.begin()));
    // A new take starts empty and, left to the end of its source, holds all of it.
    recorder.Start(std::make_unique<TWavFileSource>(dir.File("mic.wav"), 16000, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(recorder.Stop(), spoken);
    EXPECT_EQ(recorder.Level(), 0);
}

// A microphone that says a little, then nothing more: the audio server has
// stalled, and its read never returns until it is released.
class TStalledMicrophone : public IAudioSource {
public:
    explicit TStalledMicrophone(std::shared_future<void> released) : released_(std::move(released)) {}
    int32_t Read(int16_t* buffer, int32_t maxSamples) override {
        if (said_) {
            released_.wait();
            return 0;
        }
        said_ = true;
        std::fill(buffer, buffer + maxSamples, int16_t{1234});
        return maxSamples;
    }

private:
    std::shared_future<void> released_;
    bool said_ = false;
};

TEST(TakeRecorder, AMicrophoneThatStoppedDeliveringDoesNotHoldUpTheEndOfTheTake) {
    std::promise<void> release;
    TTakeRecorder recorder;
    recorder.Start(std::make_unique<TStalledMicrophone>(release.get_future().share()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto stopped = std::async(std::launch::async, [&] { return recorder.Stop(); });
    const bool returned = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    release.set_value();
    ASSERT_TRUE(returned);
    EXPECT_EQ(stopped.get(), std::vector<int16_t>(800, 1234));
    EXPECT_FALSE(recorder.Recording());
    // The next take records as usual.
    std::promise<void> never;
    recorder.Start(std::make_unique<TStalledMicrophone>(never.get_future().share()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(recorder.Stop().size(), 800u);
    never.set_value();
}

TEST(TakeFolder, TakesAndTheirListAsZelcmdTrainReadsThem) {
    zeltest::TTempDir dir;
    TTakeFolder takes(dir.File("gravacoes/"), {"Primeira frase.", "Segunda frase.", "Terceira."});
    takes.Keep(1, {1, 2, 3}, 16000);
    takes.Keep(0, {4}, 16000);
    takes.Keep(1, {5, 6}, 16000);  // redone
    EXPECT_EQ(takes.Count(), 2u);
    EXPECT_TRUE(takes.Has(0));
    EXPECT_FALSE(takes.Has(2));
    EXPECT_EQ(dir.Read("gravacoes/lista.tsv"), "000.wav\tPrimeira frase.\r\n001.wav\tSegunda frase.\r\n");
    EXPECT_EQ(dir.Read("gravacoes/001.wav"), WavFileBytes({5, 6}, 16000));
    const std::vector<TPrompt> prompts = ReadPromptList(dir.File("gravacoes/lista.tsv"));
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[1].Wav, takes.Prompts()[1].Wav);
    EXPECT_EQ(prompts[1].Sentence, "Segunda frase.");
}

}  // namespace
}  // namespace zel
