#pragma once
// One whole WAV file through the real recognizer control, as a microphone
// would deliver it, for the tests and benchmarks that score what was heard.
#include <string>
#include <vector>

#include "recognition/RecognizerControl.h"
#include "tests/integration/recognition/CommandSet.h"

namespace zeltest {

struct TDecoded {
    zel::TUtteranceScore Score;
    std::string Text;  // UTF-8, the recognizer's words
};

// argFile: the program's sphinx.arg; extraLines are appended to a copy of it
// (they win over the template), so settings can be tried without a rebuild.
// ZEL_BENCH_LOG=PREFIX keeps the engine's logs.
std::vector<TDecoded> DecodeFile(const std::string& argFile, const std::string& wav, int32_t threshold,
                                 const std::vector<std::string>& extraLines = {}, const TVocabulary& vocabulary = {});

}  // namespace zeltest
