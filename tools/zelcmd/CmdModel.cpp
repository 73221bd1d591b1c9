// zelcmd model --corpus FILE --out DIR
// zelcmd model --profile FILE.zpr [--modnum FILE] --out DIR
// Generates dictionary.dic, languagemodel.lm, tokens.ubt and zellm.zlm in DIR
// from one source of counts, as the program does:
//   --corpus FILE  a text corpus, one sentence a line (what loading a .txt on
//                  the dictation page does: reset, load, generate).
//   --profile FILE what switching recognition on generates: the profile's
//                  commands, the number words of modnum.ini (--modnum, else
//                  the one beside zelcmd) and the profile's dictation lines;
//                  nothing is started.
// Every source is one row of the table below: the option that selects it, the
// options only it reads, and how it fills the builder.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "actions/NumericModifiers.h"
#include "commands/Profile.h"
#include "langmodel/ParserPortugues.h"
#include "recognition/RecognitionSwitch.h"
#include "platform/SystemProcess.h"
#include "tools/zelcmd/Subcommands.h"
#include "tools/zelcmd/Terminal.h"
#include "tools/zelcmd/TerminalSession.h"

namespace zelcmd {
namespace {

struct TCountSource {
    const char* option;                    // selects the source; its value is the input file
    std::vector<std::string> extraOptions; // valued options only this source reads
    // Fills the builder from the source (the builder is fresh; the source resets it as it must).
    void (*fill)(zel::TParserPortugues& parser, const TArgs& args);
};

void FillFromCorpus(zel::TParserPortugues& parser, const TArgs& args) {
    parser.ResetCounts();
    parser.LoadCorpusFile(args.Get("corpus"));
}

void FillFromProfile(zel::TParserPortugues& parser, const TArgs& args) {
    zel::TProfileState profile;
    zel::LoadProfile(profile, args.Get("profile"));
    const std::string modnum = args.Has("modnum") ? args.Get("modnum") : Folders().Runtime + "modnum.ini";
    if (args.Has("modnum") && !zel::FileExists(modnum)) zel::RaiseCannotOpen(modnum);
    zel::TListaComandos modificadores;
    zel::LoadNumericModifiers(modificadores, modnum);
    zel::CountRecognizerVocabulary(parser, profile.Comandos, &modificadores, profile.Ditado);
}

const std::vector<TCountSource>& CountSources() {
    static const std::vector<TCountSource> sources = {
        {"corpus", {}, FillFromCorpus},
        {"profile", {"modnum"}, FillFromProfile},
    };
    return sources;
}

std::string Usage() {
    std::string usage = "uso: zelcmd model";
    for (const auto& s : CountSources()) usage += std::string(" --") + s.option + " FILE";
    return usage + " --out DIR (uma fonte)";
}

}  // namespace

int RunModel(const std::vector<std::string>& argv) {
    std::vector<std::string> valued = {"out"};
    for (const auto& s : CountSources()) {
        valued.push_back(s.option);
        valued.insert(valued.end(), s.extraOptions.begin(), s.extraOptions.end());
    }
    TArgs args = ParseArgs(argv, valued, {});
    const TCountSource* source = nullptr;
    int sources = 0;
    for (const auto& s : CountSources()) {
        if (args.Has(s.option)) {
            source = &s;
            ++sources;
        }
    }
    if (sources != 1 || !args.Has("out") || !args.plain.empty()) throw TExitError(kExitUsage, Usage());

    const std::string out = args.Get("out");
    std::error_code ec;
    std::filesystem::create_directories(zel::NativePath(out), ec);

    zel::TParserPortugues parser;
    source->fill(parser, args);
    parser.GenerateModelFiles(out);
    PrintLine(std::to_string(parser.NumUnigrams()) + " unigramas, " + std::to_string(parser.NumBigrams()) +
              " bigramas, " + std::to_string(parser.NumTrigrams()) + " trigramas");
    for (const char* name : {zel::kDictionaryFileName, zel::kLanguageModelFileName, zel::kCountFileName,
                             zel::kBundleFileName})
        std::cout << parser.Folder() << name << '\n';  // file names go out as the system's bytes
    return 0;
}

}  // namespace zelcmd
