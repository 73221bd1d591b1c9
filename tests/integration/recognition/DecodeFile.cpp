#include "tests/integration/recognition/DecodeFile.h"

#include <cstdlib>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "recognition/EventPoster.h"
#include "recognition/SphinxControl.h"

namespace zeltest {

using namespace zel;

std::vector<TDecoded> DecodeFile(const std::string& argFile, const std::string& wav, int32_t threshold,
                                 const std::vector<std::string>& extraLines, const TVocabulary& vocabulary) {
    std::vector<std::string> lines = ReadLines(argFile);
    lines.push_back(std::string(kOptAudioFile) + " " + wav);
    for (const auto& e : extraLines) lines.push_back(e);
    std::string runArg = argFile + ".run";
    WriteLines(runArg, lines);
    TEventQueue q;
    TSphinxControl c(q);
    c.ArgFile = Cp1252ToUtf16(runArg);
    const char* keepLog = std::getenv("ZEL_BENCH_LOG");
    static int decodings = 0;
    ++decodings;
    c.LogFile = Cp1252ToUtf16(keepLog ? std::string(keepLog) + "." + std::to_string(decodings) : argFile + ".log");
    c.ConfThreshPercentage = threshold;
    c.NumberWords = vocabulary.NumberWords;
    c.CommandPhrases = vocabulary.CommandPhrases;
    c.AcousticModel = Cp1252ToUtf16(vocabulary.AcousticModel);
    std::vector<TDecoded> out;
    bool done = false;
    c.OnUtteranceScore = [&](const TUtteranceScore& s) {
        out.push_back({s, Cp1252ToUtf8(Utf16ToCp1252(s.Text))});
    };
    c.OnStopListening = [&] { done = true; };
    c.InitRecognizer();
    c.StartRecognizer();
    q.RunUntil([&] { return done; }, std::chrono::seconds(900));
    c.StopRecognizer();
    return out;
}

}  // namespace zeltest
