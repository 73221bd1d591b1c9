#include "recognition/AudioSource.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

std::string Le16(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A WAV file's bytes, with an extra chunk before the data as some writers put.
std::string Wav(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<int16_t>& samples,
                uint32_t declaredDataSize = 0) {
    std::string data;
    for (int16_t s : samples) data += Le16(static_cast<uint16_t>(s));
    std::string fmt = "fmt " + Le32(16) + Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * channels * bits / 8) +
                      Le16(static_cast<uint16_t>(channels * bits / 8)) + Le16(bits);
    std::string list = "LIST" + Le32(3) + "abc" + std::string(1, '\0');  // odd size, padded
    std::string body = "WAVE" + fmt + list + "data" +
                       Le32(declaredDataSize ? declaredDataSize : static_cast<uint32_t>(data.size())) + data;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

TEST(WavFileSource, ReadsTheSamplesInChunksThenReportsTheEnd) {
    zeltest::TTempDir dir;
    std::vector<int16_t> samples = {1, -2, 300, -32768, 32767};
    dir.Write("a.wav", Wav(1, 16000, 16, samples));
    TWavFileSource src(dir.File("a.wav"), 16000, false);
    EXPECT_EQ(src.SampleCount(), 5u);
    int16_t buf[3];
    ASSERT_EQ(src.Read(buf, 3), 3);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[1], -2);
    EXPECT_EQ(buf[2], 300);
    ASSERT_EQ(src.Read(buf, 3), 2);
    EXPECT_EQ(buf[0], -32768);
    EXPECT_EQ(buf[1], 32767);
    EXPECT_EQ(src.Read(buf, 3), 0);
}

TEST(WavFileSource, AStreamWithAnOversizedDataChunkGivesWhatIsThere) {
    zeltest::TTempDir dir;
    dir.Write("a.wav", Wav(1, 16000, 16, {7, 8}, 0x7FFFFFFF));
    int32_t rate = 0;
    EXPECT_EQ(ReadWavSamples(dir.File("a.wav"), rate), (std::vector<int16_t>{7, 8}));
    EXPECT_EQ(rate, 16000);
}

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TError& e) {
        return e.what();
    }
    return "";
}

TEST(WavFileSource, FilesItCannotUseAreRefusedWithAMessageSayingWhy) {
    zeltest::TTempDir dir;
    dir.Write("stereo.wav", Wav(2, 16000, 16, {1, 2, 3, 4}));
    dir.Write("text.wav", "not a wave file at all");
    EXPECT_NE(MessageOf([&] { TWavFileSource(dir.File("stereo.wav"), 16000, false); }).find("2 canais"),
              std::string::npos);
    EXPECT_NE(MessageOf([&] { TWavFileSource(dir.File("text.wav"), 16000, false); }).find("WAV"), std::string::npos);
    EXPECT_EQ(MessageOf([&] { TWavFileSource(dir.File("none.wav"), 16000, false); }),
              "Cannot open file " + dir.File("none.wav"));
}

TEST(WavFileSource, AFileOfAnotherRateIsConvertedToTheEnginesRate) {
    zeltest::TTempDir dir;
    dir.Write("8k.wav", Wav(1, 8000, 16, {0, 100, 200, 300}));
    TWavFileSource src(dir.File("8k.wav"), 16000, false);
    int16_t buf[16];
    ASSERT_EQ(src.Read(buf, 16), 7);
    EXPECT_EQ(std::vector<int16_t>(buf, buf + 7), (std::vector<int16_t>{0, 50, 100, 150, 200, 250, 300}));
}

TEST(WavFileSource, RatesOutsideOneTo192KilohertzAreRefusedAndOthersStreamInPieces) {
    zeltest::TTempDir dir;
    // A damaged header saying 1 Hz would otherwise turn each sample into 16000.
    dir.Write("1hz.wav", Wav(1, 1, 16, {1, 2, 3}));
    dir.Write("fast.wav", Wav(1, 192001, 16, {1, 2, 3}));
    EXPECT_EQ(MessageOf([&] { TWavFileSource(dir.File("1hz.wav"), 16000, false); }),
              "Arquivo de \xE1udio " + dir.File("1hz.wav") +
                  " n\xE3o suportado: taxa de amostragem de 1 Hz (aceitas de 1000 a 192000 Hz)");
    int32_t rate = 0;
    EXPECT_NE(MessageOf([&] { ReadWavSamples(dir.File("fast.wav"), rate); }).find("192001 Hz"), std::string::npos);
    // The lowest rate allowed: each read hands out no more than asked.
    std::vector<int16_t> in(1000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<int16_t>(i);
    dir.Write("1k.wav", Wav(1, 1000, 16, in));
    TWavFileSource src(dir.File("1k.wav"), 16000, false);
    std::vector<int16_t> out;
    int16_t buf[320];
    for (int32_t n; (n = src.Read(buf, 320)) > 0;) {
        ASSERT_LE(n, 320);
        out.insert(out.end(), buf, buf + n);
    }
    std::vector<int16_t> whole;
    TRateConverter(1000, 16000).Convert(in.data(), in.size(), whole);
    EXPECT_EQ(out, whole);
}

TEST(RateConverter, ChunksJoinWithoutASeamAndEqualRatesPassUnchanged) {
    std::vector<int16_t> in;
    for (int i = 0; i < 441; ++i) in.push_back(static_cast<int16_t>(i * 10));
    std::vector<int16_t> whole, part, joined;
    TRateConverter one(44100, 16000);
    one.Convert(in.data(), in.size(), whole);
    TRateConverter chunked(44100, 16000);
    for (size_t at = 0; at < in.size(); at += 100) {
        chunked.Convert(in.data() + at, std::min<size_t>(100, in.size() - at), part);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    // The same samples, give or take the rounding of the running position.
    ASSERT_EQ(joined.size(), whole.size());
    for (size_t i = 0; i < whole.size(); ++i) EXPECT_NEAR(joined[i], whole[i], 1) << i;
    EXPECT_EQ(whole.size(), 160u);  // 441 samples at 44.1 kHz: 27.6 ms, 160 samples at 16 kHz
    EXPECT_EQ(whole[1], static_cast<int16_t>(std::lround(44100.0 / 16000 * 10)));
    TRateConverter same(16000, 16000);
    same.Convert(in.data(), 5, part);
    EXPECT_EQ(part, std::vector<int16_t>(in.begin(), in.begin() + 5));
}

TEST(WavFileSource, AtSpeakingPaceTheSamplesAreNotHandedOutEarly) {
    zeltest::TTempDir dir;
    dir.Write("a.wav", Wav(1, 16000, 16, std::vector<int16_t>(3200, 5)));  // 0.2 s
    TWavFileSource src(dir.File("a.wav"), 16000, true);
    auto start = std::chrono::steady_clock::now();
    int16_t buf[320];
    while (src.Read(buf, 320) > 0) {
    }
    // A lower bound only: a busy machine may be slower, never faster.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
}

#ifndef _WIN32
// An audio server that takes the connection and never answers, as a stopped
// one does: a socket that listens and is never read.
class SilentAudioServer : public ::testing::Test {
protected:
    void SetUp() override {
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd_, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string path = dir_.File("native");
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        ASSERT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(listen(fd_, 4), 0);
        const char* old = std::getenv("PULSE_SERVER");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("PULSE_SERVER", ("unix:" + path).c_str(), 1);
    }
    void TearDown() override {
        if (saved_) setenv("PULSE_SERVER", saved_->c_str(), 1);
        else unsetenv("PULSE_SERVER");
        if (fd_ >= 0) close(fd_);
    }
    // The message of the refusal, as UTF-8.
    static std::string Refusal(const std::function<bool()>& cancelled, std::chrono::milliseconds timeout) {
        try {
            OpenMicrophone("", 16000, 16000, cancelled, timeout);
        } catch (const TError& e) {
            return Cp1252ToUtf8(e.what());
        }
        return "opened";
    }

private:
    zeltest::TTempDir dir_;
    int fd_ = -1;
    std::optional<std::string> saved_;
};

TEST_F(SilentAudioServer, TheMicrophoneGivesUpAfterTheTimeoutWithAMessage) {
    EXPECT_EQ(Refusal({}, std::chrono::milliseconds(300)),
              "Não foi possível abrir o microfone: o servidor de áudio (PulseAudio) não respondeu em 1 s.");
}

TEST_F(SilentAudioServer, TheUserCanGiveUpWaiting) {
    int asked = 0;
    // Asked while waiting; the second time the user has had enough.
    EXPECT_EQ(Refusal([&] { return ++asked >= 2; }, std::chrono::hours(1)),
              "Não foi possível abrir o microfone: interrompido.");
    EXPECT_EQ(asked, 2);
}
#endif

}  // namespace
}  // namespace zel
