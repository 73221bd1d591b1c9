// A user's argument file, brought up to date by switch-on, keeps every line
// but its own two, which name this run's model and dictionary; what the
// control hands the engine are options it knows, each with a trimmed value;
// and when the engine's own parser takes them, it reads the last model named.
#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "fuzz/FuzzSupport.h"
#include "recognition/ArgFile.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/Sphinx.h"

namespace {

bool EngineKnows(std::string_view name) {
    for (const arg_t* a = ps_args(); a->name; ++a)
        if (name == a->name) return true;
    return false;
}

std::string LastValue(const zel::TRecognizerArgs& args, std::string_view name) {
    std::string value;
    for (const auto& [n, v] : args.Engine)
        if (n == name) value = v;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        err_set_logfp(nullptr);
        std::filesystem::create_directories(zelfuzz::Scratch() / "sphinx");  // the control's folder
        return zelfuzz::Scratch().string() + "/";
    }();
    const std::string file = zelfuzz::WriteInput("sphinx.arg", data, size);
    const std::vector<std::string> before = zel::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size));

    zel::TSphinx sphinx(std::make_unique<zel::TFakeRecognizerControl>(), folder + "sphinx");
    sphinx.LMFile = folder + "language model.lm";
    sphinx.DicFile = folder + "dictionary.dic";
    sphinx.WriteArgFile(file);

    const std::vector<std::string> lines = zel::ReadLines(file);
    ZELFUZZ_CHECK(lines.size() >= before.size() && lines.size() <= before.size() + 2);
    bool ownLm = false, ownDic = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool isLm = i < before.size() ? before[i].rfind("-lmfn", 0) == 0 : !ownLm;
        const bool isDic = !isLm && (i < before.size() ? before[i].rfind("-dictfn", 0) == 0 : true);
        if (isLm) ZELFUZZ_CHECK(lines[i] == "-lmfn " + sphinx.LMFile);
        else if (isDic) ZELFUZZ_CHECK(lines[i] == "-dictfn " + sphinx.DicFile);
        else ZELFUZZ_CHECK(lines[i] == before[i]);
        ownLm = ownLm || isLm;
        ownDic = ownDic || isDic;
    }
    ZELFUZZ_CHECK(ownLm && ownDic);
    const zel::TRecognizerArgs args = zel::ParseRecognizerArgs(lines, EngineKnows);
    std::vector<std::string> argv;
    for (const auto& [name, value] : args.Engine) {
        ZELFUZZ_CHECK(EngineKnows(name));
        ZELFUZZ_CHECK(!value.empty() && value == zel::Trim(value));
        argv.push_back(name);
        argv.push_back(zel::Cp1252ToUtf8(value));
    }

    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cmd_ln_t* config = cmd_ln_parse_r(nullptr, ps_args(), static_cast<int32>(cargv.size()), cargv.data(), FALSE);
    if (config) {
        const char* lm = cmd_ln_str_r(config, "-lm");
        ZELFUZZ_CHECK(lm && std::string(lm) == zel::Cp1252ToUtf8(LastValue(args, "-lm")));
        cmd_ln_free_r(config);
    }
    return 0;
}
