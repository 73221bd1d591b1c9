#include "recognition/ArgFile.h"

#include <algorithm>
#include <cstdlib>

#include "commands/TextUtil.h"

namespace zel {

bool ArgIsTrue(std::string_view value) {
    std::string v = AsciiLower(Trim(value));
    return v == "yes" || v == "true" || v == "1" || v == "on";
}

TRecognizerArgs ParseRecognizerArgs(const std::vector<std::string>& lines,
                                    const std::function<bool(std::string_view)>& isEngineOption) {
    TRecognizerArgs args;
    for (const std::string& raw : lines) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        // A null character would cut the value short where the engine reads
        // it: such a line is no option a user meant.
        if (line.find('\0') != std::string::npos) {
            args.Notes.push_back("line with a null character dropped");
            continue;
        }
        size_t cut = 0;
        while (cut < line.size() && static_cast<unsigned char>(line[cut]) > ' ') ++cut;
        std::string name = line.substr(0, cut);
        std::string value = Trim(std::string_view(line).substr(cut));
        if (name == "-lmfn") name = "-lm";
        else if (name == "-dictfn") name = "-dict";

        if (name == kOptAudioFile) {
            args.AudioFile = value;
        } else if (name == kOptAudioRealTime) {
            args.AudioRealTime = ArgIsTrue(value);
        } else if (name == kOptAudioDevice) {
            args.AudioDevice = value;
        } else if (name == kOptAlternates) {
            args.Alternates = value;
        } else if (name == kOptAlternatesMax) {
            args.AlternatesMax = std::clamp(std::atoi(value.c_str()), 0, 16);
        } else if (name == kOptGrammarCheck) {
            args.NoGrammarCheck = !ArgIsTrue(value);
        } else if (name == "-logfn") {
            // The log goes where the control's LogFile says.
            args.Notes.push_back("option -logfn ignored: the log file is the control's LogFile");
        } else if (name.empty() || name[0] != '-' || !isEngineOption(name)) {
            args.Notes.push_back("unknown option dropped: " + line);
        } else if (value.empty()) {
            args.Notes.push_back("option without value dropped: " + name);
        } else {
            args.Engine.emplace_back(std::move(name), std::move(value));
        }
    }
    return args;
}

}  // namespace zel
