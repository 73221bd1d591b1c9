// The recognizer control with the real engine and the program's template,
// on speech made here (espeak-ng, sox) with a faint noise floor.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

#include "commands/Cp1252.h"
#include "commands/LocaleCollator.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "recognition/RecognitionSwitch.h"
#include "recognition/SphinxControl.h"
#include "tests/integration/recognition/CommandSet.h"
#include "tests/integration/recognition/DecodeFile.h"
#include "tests/integration/recognition/PrivatePulse.h"
#include "tests/integration/recognition/SpeechFixture.h"

namespace zel {
namespace {

using namespace std::chrono_literals;
using zeltest::TRecording;
using zeltest::TVoice;

// What one run of the control raised, in order, as the owner saw it.
struct TRunLog {
    std::vector<std::string> Events;    // "new", "end", "result:TEXT", "start", "stop", "error:N"
    std::vector<std::string> Results;   // sentences as the program sees them (Windows-1252)
    std::vector<int32_t> Confidences;   // of every scored utterance
    std::string Scored;                 // every scored utterance with its confidence
    bool Stopped = false;

    void Attach(IRecognizerControl& c) {
        c.OnNewUtterance = [this] { Events.push_back("new"); };
        c.OnEndUtterance = [this] { Events.push_back("end"); };
        c.OnStartListening = [this] { Events.push_back("start"); };
        c.OnStopListening = [this] {
            Events.push_back("stop");
            Stopped = true;
        };
        c.OnUtteranceError = [this](int32_t e) { Events.push_back("error:" + std::to_string(e)); };
        c.OnUtteranceScore = [this](const TUtteranceScore& s) {
            Confidences.push_back(s.Confidence);
            Scored += (Scored.empty() ? "" : " | ") + Cp1252ToUtf8(SentenceFromResult(s.Text)) + " (" +
                      std::to_string(s.Confidence) + ")";
        };
        c.OnUtteranceResult = [this](const std::u16string& r) {
            Results.push_back(SentenceFromResult(r));
            Events.push_back("result:" + Results.back());
        };
    }
    std::string Sentences() const {
        std::string all;
        for (const auto& r : Results) all += (all.empty() ? "" : " | ") + Cp1252ToUtf8(r);
        return all;
    }
};

// Commands and number words that every test voice says well enough for the
// engine, some of them of two words.
const std::vector<std::string> kSpoken = {"copiar",     "colar",          "salvar",       "baixo",
                                          "direita",    "computador",     "abrir navegador", "fechar janela",
                                          "maximizar",  "dois",           "quatro",       "dois baixo"};

class Recognizer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new zeltest::TTempDir();
        set_ = new zeltest::TCommandSet(
            zeltest::MakeCommandSet(dir_->File("zel"), zeltest::DefaultCommandPhrases(), true, {}));
    }
    static void TearDownTestSuite() {
        delete set_;
        delete dir_;
    }

    // A control over the generated files, listening to wav.
    std::unique_ptr<TSphinxControl> Control(const std::string& wav, int32_t thresh = 50) {
        auto c = std::make_unique<TSphinxControl>(queue);
        c->ArgFile = Cp1252ToUtf16(set_->ArgFile);
        c->LogFile = Cp1252ToUtf16(dir_->File("sphinx.log"));
        c->ConfThreshPercentage = thresh;
        c->NumberWords = set_->Vocabulary.NumberWords;
        c->CommandPhrases = set_->Vocabulary.CommandPhrases;
        if (!wav.empty()) c->AudioFile = wav;
        log.Attach(*c);
        return c;
    }
    // Runs the control over the whole file.
    void Hear(TSphinxControl& c) {
        c.InitRecognizer();
        c.StartRecognizer();
        ASSERT_TRUE(queue.RunUntil([&] { return log.Stopped; }, 60s)) << "the file never ended";
        c.StopRecognizer();
    }
    // The phrases spoken by voice with pauses, over the noise floor.
    std::string Record(const std::vector<std::string>& phrases, const TVoice& voice, const std::string& name,
                       double pause = 0.9) {
        TRecording rec;
        rec.AddSilence(0.6);
        for (const auto& p : phrases) {
            rec.AddSpeech(zeltest::Speak(p, voice));
            rec.AddSilence(pause);
        }
        rec.AddNoiseFloor(zeltest::kNoiseFloor);
        std::string wav = dir_->File(name);
        rec.WriteWav(wav);
        return wav;
    }
    std::vector<std::string> Expected(const std::vector<std::string>& phrases) {
        std::vector<std::string> e;
        for (const auto& p : phrases) e.push_back(Utf8ToCp1252(p));
        return e;
    }
    void ExpectSentences(const std::vector<std::string>& phrases) {
        std::vector<std::string> want = Expected(phrases);
        ASSERT_EQ(log.Results.size(), want.size()) << log.Sentences() << "\nscored: " << log.Scored;
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_TRUE(LocaleEqual(log.Results[i], want[i])) << "#" << i << ": " << log.Scored;
    }

    static zeltest::TTempDir* dir_;
    static zeltest::TCommandSet* set_;
    TEventQueue queue;
    TRunLog log;
};
zeltest::TTempDir* Recognizer::dir_ = nullptr;
zeltest::TCommandSet* Recognizer::set_ = nullptr;

TEST_F(Recognizer, EachSpokenCommandGivesExactlyOneResultInOrder) {
    for (const TVoice& voice : {TVoice{"pt-br", 150}, TVoice{"pt-br+m3", 130}}) {
        SCOPED_TRACE(voice.Label());
        log = TRunLog();
        auto c = Control(Record(kSpoken, voice, "commands.wav"));
        Hear(*c);
        ExpectSentences(kSpoken);
        // Every result comes between its utterance's start and end.
        std::string shape;
        for (const auto& e : log.Events) shape += e.rfind("result:", 0) == 0 ? "R" : e == "new" ? "N" : e == "end" ? "E" : "";
        EXPECT_EQ(shape.find("NN"), std::string::npos) << shape;
        EXPECT_EQ(shape.find("RR"), std::string::npos) << shape;
        EXPECT_EQ(log.Events.front(), "start");
        EXPECT_EQ(log.Events.back(), "stop");
    }
}

TEST_F(Recognizer, AlternatePronunciationsHearWhatTheLetterRulesSpellWrong) {
    // Words whose e the voices say closed ([e], EY) where the letter rules
    // write an open EH, and final r's said as [h].
    const std::vector<std::string> words = {"retroceder", "defender", "esconder", "descer",   "receber",
                                            "vender",     "perder",   "prender",  "derreter", "morder"};
    zeltest::TTempDir dir;
    zeltest::TCommandSet own = zeltest::MakeCommandSet(dir.File("own"), words, false, {});
    std::string wav = Record(words, TVoice{"pt-br+m1", 150}, "alternates.wav");
    // The words among the accepted results.
    auto heard = [&](const std::vector<std::string>& extra) {
        std::set<std::string> right;
        for (const auto& r : zeltest::DecodeFile(own.ArgFile, wav, 50, extra, own.Vocabulary))
            if (r.Score.Accepted && std::find(words.begin(), words.end(), r.Text) != words.end()) right.insert(r.Text);
        return static_cast<int>(right.size());
    };
    const int without = heard({"-alternates none"});
    const int with = heard({});
    EXPECT_GT(with, without + 1) << "with alternates " << with << ", without " << without;
}

TEST_F(Recognizer, PureNoiseGivesNoResultAtAll) {
    TRecording rec;
    rec.AddNoise(8, zeltest::kNoiseFloor, 1);
    rec.AddNoise(8, 0.03, 2);
    rec.AddNoise(8, 0.1, 3);
    std::string wav = dir_->File("noise.wav");
    rec.WriteWav(wav);
    auto c = Control(wav, 0);  // not even below the threshold
    Hear(*c);
    EXPECT_TRUE(log.Results.empty()) << log.Sentences();
}

TEST_F(Recognizer, OrdinarySpeechIsMostlyDroppedByTheDefaultThreshold) {
    std::string wav = Record(zeltest::NonCommandSentences(), TVoice{"pt-br", 150}, "talk.wav");
    // Without a threshold the engine forces every sentence onto command words.
    auto all = Control(wav, 0);
    Hear(*all);
    const size_t forced = log.Results.size();
    EXPECT_GE(forced, zeltest::NonCommandSentences().size() - 1) << log.Scored;
    // The default threshold drops them (measured: all eight; a sentence or two
    // may come close to it).
    log = TRunLog();
    auto c = Control(wav);
    Hear(*c);
    EXPECT_LE(log.Results.size(), 2u) << log.Scored;
}

TEST_F(Recognizer, DigitalSilenceBetweenCommandsIsNoObstacle) {
    // A file without any noise floor (a WAV made by a program): the template's
    // dither keeps the engine's front end working.
    std::vector<std::string> phrases = {"copiar", "direita", "fechar janela"};
    TRecording rec;
    rec.AddSilence(0.6);
    for (const auto& p : phrases) {
        rec.AddSpeech(zeltest::Speak(p, TVoice{"pt-br", 150}));
        rec.AddSilence(0.9);
    }
    std::string wav = dir_->File("digital.wav");
    rec.WriteWav(wav);
    auto c = Control(wav);
    Hear(*c);
    ExpectSentences(phrases);
}

TEST_F(Recognizer, TheFirstCommandOfARunIsHeardLikeTheOthers) {
    // The engine's running cepstral mean starts from the model's value, far
    // from these voices'; "abrir" as the first command was heard as "anterior".
    const std::vector<std::string> phrases = {"abrir", "copiar"};
    for (const TVoice& voice : {TVoice{"pt-br", 150}, TVoice{"pt-br", 120}}) {
        SCOPED_TRACE(voice.Label());
        log = TRunLog();
        auto c = Control(Record(phrases, voice, "first.wav"));
        Hear(*c);
        ExpectSentences(phrases);
    }
}

TEST_F(Recognizer, SwitchedOnAgainTheFirstCommandIsDecodedOnce) {
    // The next switch-on on the same source starts from the cepstral mean the
    // last run ended with: its first command needs no second decoding.
    const std::vector<std::string> phrases = {"abrir", "copiar"};
    auto c = Control(Record(phrases, TVoice{"pt-br", 150}, "again.wav"));
    const std::string logFile = dir_->File("again.log");
    c->LogFile = Cp1252ToUtf16(logFile);
    Hear(*c);
    ExpectSentences(phrases);
    EXPECT_NE(ReadFileBytes(logFile).find("decoded again"), std::string::npos);
    log = TRunLog();
    Hear(*c);
    ExpectSentences(phrases);
    const std::string second = ReadFileBytes(logFile);
    EXPECT_NE(second.find("cepstral mean of the last run on this source"), std::string::npos);
    EXPECT_EQ(second.find("decoded again"), std::string::npos) << second;
}

TEST_F(Recognizer, RecordingsAndMicrophonesOfOtherRatesAreHeard) {
    // The preferences may ask for 8000 Hz: the engine keeps its model's rate
    // and the sound is converted (a file at 8 kHz, here, made by sox).
    std::vector<std::string> phrases = {"copiar", "direita"};
    std::string wav16 = Record(phrases, TVoice{"pt-br", 150}, "r16.wav");
    std::string wav8 = dir_->File("r8.wav");
    ASSERT_EQ(std::system(("sox -q " + wav16 + " -r 8000 " + wav8).c_str()), 0);
    auto c = Control(wav8);
    c->SamplesPerSecond = 8000;
    Hear(*c);
    ExpectSentences(phrases);
}

TEST_F(Recognizer, StopDuringAnUtteranceLeavesNoLateEvent) {
    std::string arg = dir_->File("zel/realtime.arg");
    std::vector<std::string> lines = ReadLines(set_->ArgFile);
    lines.push_back("-audiorealtime yes");
    WriteLines(arg, lines);
    auto c = Control(Record({"abrir navegador", "copiar"}, TVoice{"pt-br", 120}, "stop.wav", 2.0));
    c->ArgFile = Cp1252ToUtf16(arg);
    c->InitRecognizer();
    c->StartRecognizer();
    ASSERT_TRUE(queue.RunUntil([&] { return !log.Events.empty() && log.Events.back() == "new"; }, 20s));
    auto before = std::chrono::steady_clock::now();
    c->StopRecognizer();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    ASSERT_EQ(log.Events.back(), "stop");
    size_t seen = log.Events.size();
    // The utterance would have ended within a second; nothing of it arrives.
    queue.RunUntil([] { return false; }, 1500ms);
    EXPECT_EQ(log.Events.size(), seen) << log.Events.back();
    EXPECT_TRUE(log.Results.empty());
    // The control listens again after a stop.
    log = TRunLog();
    log.Attach(*c);
    c->StartRecognizer();
    ASSERT_TRUE(queue.RunUntil([&] { return log.Stopped; }, 20s));
    c->StopRecognizer();
    ExpectSentences({"abrir navegador", "copiar"});
}

TEST_F(Recognizer, AModelTheEngineRefusesGivesTheEnginesReason) {
    std::string lm = dir_->File("zel/broken.lm");
    WriteLines(lm, {"isto nao e um modelo"});
    std::string arg = dir_->File("zel/broken.arg");
    WriteLines(arg, {"-hmm " + std::string(ZEL_SPHINX_MODEL), "-lmfn " + lm,
                     "-dictfn " + dir_->File("zel/dictionary.dic")});
    auto c = Control("");
    c->ArgFile = Cp1252ToUtf16(arg);
    try {
        c->InitRecognizer();
        FAIL() << "the engine took the model";
    } catch (const TError& e) {
        std::string m = e.what();
        EXPECT_EQ(m.rfind(Utf8ToCp1252("O reconhecedor recusou o modelo: "), 0), 0u) << m;
        // The engine's words, not our fallback.
        EXPECT_EQ(m.find(Utf8ToCp1252("motivo não informado")), std::string::npos) << m;
        EXPECT_GT(m.size(), 40u) << m;
    }
    EXPECT_THROW(c->StartRecognizer(), TError);
    EXPECT_FALSE(c->Listening());
}

TEST_F(Recognizer, AModelWhoseCountsDisagreeIsRefusedBeforeItCanCrashTheEngine) {
    std::string lm = dir_->File("zel/counts.lm");
    WriteLines(lm, {"\\data\\", "ngram 1=4", "ngram 2=1", "", "\\1-grams:", "-1.0 </s>", "-99 <s> -0.3",
                    "-0.5 copiar -0.3", "", "\\2-grams:", "-0.1 <s> copiar", "", "\\end\\"});
    std::string arg = dir_->File("zel/counts.arg");
    WriteLines(arg, {"-hmm " + std::string(ZEL_SPHINX_MODEL), "-lmfn " + lm,
                     "-dictfn " + dir_->File("zel/dictionary.dic")});
    auto c = Control("");
    c->ArgFile = Cp1252ToUtf16(arg);
    try {
        c->InitRecognizer();
        FAIL() << "the model was taken";
    } catch (const TError& e) {
        EXPECT_EQ(Cp1252ToUtf8(e.what()), "O reconhecedor recusou o modelo: " + lm + " declara 4 1-gramas e lista 3");
    }
    // The same model with the right count is taken.
    WriteLines(lm, {"\\data\\", "ngram 1=3", "ngram 2=1", "", "\\1-grams:", "-1.0 </s>", "-99 <s> -0.3",
                    "-0.5 copiar -0.3", "", "\\2-grams:", "-0.1 <s> copiar", "", "\\end\\"});
    EXPECT_NO_THROW(c->InitRecognizer());
}

TEST_F(Recognizer, TheLogReplacesALinkInsteadOfWritingThroughIt) {
    namespace fs = std::filesystem;
    std::string victim = dir_->File("zel/importante.txt");
    WriteLines(victim, {"guardado"});
    std::string log = dir_->File("zel/ligado.log");
    fs::create_symlink(NativePath(victim), NativePath(log));
    auto c = Control("");
    c->LogFile = Cp1252ToUtf16(log);
    c->InitRecognizer();
    c.reset();
    EXPECT_EQ(ReadLines(victim), std::vector<std::string>{"guardado"});
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(NativePath(log))));
    EXPECT_GT(fs::file_size(NativePath(log)), 0u);
}

TEST_F(Recognizer, AMissingArgumentFileCannotOpen) {
    auto c = Control("");
    c->ArgFile = Cp1252ToUtf16(dir_->File("zel/nenhum.arg"));
    try {
        c->InitRecognizer();
        FAIL();
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir_->File("zel/nenhum.arg"));
    }
}

TEST_F(Recognizer, WithoutAnAudioServerStartSaysSoAtOnce) {
    zeltest::TScopedEnv env("PULSE_SERVER", "unix:" + dir_->File("no-server/native"));
    auto c = Control("");
    c->InitRecognizer();
    auto before = std::chrono::steady_clock::now();
    try {
        c->StartRecognizer();
        FAIL() << "listening without a server";
    } catch (const TError& e) {
        EXPECT_NE(std::string(e.what()).find(Utf8ToCp1252("Não foi possível abrir o microfone")), std::string::npos)
            << e.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_FALSE(c->Listening());
    EXPECT_EQ(c->StopRecognizer(), 0);
    queue.RunPending();
    EXPECT_TRUE(log.Events.empty());
}

TEST_F(Recognizer, TheMicrophoneOfAPrivateAudioServerIsHeard) {
    zeltest::TPrivatePulse pulse;
    if (!pulse.Running()) GTEST_SKIP() << "no private PulseAudio server: " << pulse.Why();
    zeltest::TScopedEnv env("PULSE_SERVER", pulse.Server());
    std::vector<std::string> phrases = {"copiar", "fechar janela", "dois"};
    TRecording rec;
    rec.AddSilence(0.5);
    for (const auto& p : phrases) {
        rec.AddSpeech(zeltest::Speak(p, TVoice{"pt-br", 150}));
        rec.AddSilence(0.8);
    }
    rec.AddNoiseFloor(zeltest::kNoiseFloor);
    auto c = Control("");
    c->InitRecognizer();
    c->StartRecognizer();
    pulse.Feed(rec.Samples());
    EXPECT_TRUE(queue.RunUntil([&] { return log.Results.size() >= phrases.size(); }, 20s)) << log.Sentences();
    // The source now gives nothing at all (the pipe stays open and silent):
    // the capture waits on a read that does not return, and stopping must
    // not wait for it.
    auto before = std::chrono::steady_clock::now();
    c->StopRecognizer();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    pulse.StopFeeding();
    ExpectSentences(phrases);
}

}  // namespace
}  // namespace zel

namespace zel {
namespace {

TEST_F(Recognizer, AnAudioServerThatGoesAwayEndsListeningWithAnError) {
    zeltest::TPrivatePulse pulse;
    if (!pulse.Running()) GTEST_SKIP() << "no private PulseAudio server: " << pulse.Why();
    zeltest::TScopedEnv env("PULSE_SERVER", pulse.Server());
    TRecording rec;
    rec.AddSilence(0.3);
    rec.AddSpeech(zeltest::Speak("copiar", TVoice{"pt-br", 150}));
    rec.AddSilence(0.8);
    rec.AddNoiseFloor(zeltest::kNoiseFloor);
    auto c = Control("");
    c->SamplesPerSecond = 8000;  // recorded at 8 kHz, heard by the 16 kHz engine
    c->InitRecognizer();
    c->StartRecognizer();
    pulse.Feed(rec.Samples());
    ASSERT_TRUE(queue.RunUntil([&] { return !log.Results.empty(); }, 20s)) << log.Scored;
    ExpectSentences({"copiar"});
    pulse.Kill();
    // The capture sees the broken connection: an error, then the end of
    // listening, once; no busy loop of empty reads.
    ASSERT_TRUE(queue.RunUntil([&] { return log.Stopped; }, 10s));
    EXPECT_EQ(log.Events[log.Events.size() - 2], "error:" + std::to_string(kUtteranceErrorAudio));
    size_t seen = log.Events.size();
    c->StopRecognizer();
    queue.RunUntil([] { return false; }, 200ms);
    EXPECT_EQ(log.Events.size(), seen);
    EXPECT_FALSE(c->Listening());
}

TEST_F(Recognizer, PartialResultsComeWhileASentenceIsSpoken) {
    std::string wav = Record({"abrir navegador"}, TVoice{"pt-br", 110}, "partial.wav");
    auto c = Control(wav);
    c->RequirePartialResult = true;
    c->PartialResultInterval = 5;  // chunks of 20 ms
    std::vector<std::string> partials;
    c->OnUtterancePartialResult = [&](const std::u16string& r) {
        partials.push_back(Cp1252ToUtf8(SentenceFromResult(r)));
        log.Events.push_back("partial");
    };
    Hear(*c);
    ExpectSentences({"abrir navegador"});
    EXPECT_FALSE(partials.empty());
    // They come between the start of the utterance and its end.
    auto first = std::find(log.Events.begin(), log.Events.end(), "partial");
    auto newAt = std::find(log.Events.begin(), log.Events.end(), "new");
    auto endAt = std::find(log.Events.begin(), log.Events.end(), "end");
    EXPECT_LT(newAt, first);
    EXPECT_LT(first, endAt);
}

}  // namespace
}  // namespace zel
