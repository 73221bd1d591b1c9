// A model the check lets through is one the engine reads without harm (it
// trusts the header: a count that differs from the lines brings it down).
#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"
#include "recognition/ArpaCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static logmath_t* lmath = [] {
        err_set_logfp(nullptr);
        return logmath_init(1.0001, 0, 0);
    }();
    std::string file = zelfuzz::WriteInput("model.lm", data, size);
    try {
        zel::CheckArpaModel(file);
    } catch (const zel::TError&) {
        return 0;
    }
    // What the check leaves to the engine (binary models, text without a
    // "\data\" line) the engine does not read as ARPA either.
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string head = text.substr(0, 64);
    if (head.rfind("Trie Language Model", 0) == 0 || head.find("Darpa Trigram LM") != std::string::npos) return 0;
    if (text.find("\\data\\") == std::string::npos) return 0;
    ngram_model_t* model = ngram_model_read(nullptr, file.c_str(), NGRAM_ARPA, lmath);
    if (model) ngram_model_free(model);
    return 0;
}
