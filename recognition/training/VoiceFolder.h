#pragma once
// The acoustic model adapted to the user's voice: the folder "voz/" in the
// program's folder, beside config.ini (never the installed model). A training
// builds the new model in a temporary folder beside it and puts it in place
// only when every file is written, so an interrupted or failed training
// leaves the earlier model, or none, as it was.
#include <string>

namespace zel {

inline constexpr const char* kVoiceFolderName = "voz";

// The adapted model's folder (programFolder + "voz"), or empty when there is
// none (whole or damaged). Finishes a replacement that stopped between its
// two renames.
std::string AdaptedModelFolder(const std::string& programFolder);

// Why the adapted model in voiceFolder cannot be heard with the installed
// model in baseModel (core text), or empty when it can: every file it took
// from the installed model must be that file byte for byte (a damaged copy,
// or a voice trained on another model, would stop the recognizer), and the
// adapted Gaussians whole files of the installed model's dimensions.
std::string VoiceModelDamage(const std::string& voiceFolder, const std::string& baseModel);

// Removes the adapted model; false when there was none. A "voz" that is a
// symbolic link loses the link only: what it points to is the user's.
bool ForgetVoiceModel(const std::string& programFolder);

class TVoiceModelBuild {
public:
    // Makes the temporary folder, after removing what interrupted trainings
    // left behind. Raises "Cannot create file %s" when it cannot.
    explicit TVoiceModelBuild(const std::string& programFolder);
    // Without Commit the temporary folder goes, and nothing else changes.
    ~TVoiceModelBuild();
    TVoiceModelBuild(const TVoiceModelBuild&) = delete;
    TVoiceModelBuild& operator=(const TVoiceModelBuild&) = delete;

    // Where the new model's files go, and a scratch folder for the rest;
    // both end in "/".
    const std::string& ModelFolder() const { return model_; }
    const std::string& WorkFolder() const { return work_; }
    // Puts the new model in the place of the old one. Raises "Cannot create
    // file %s" when the rename fails; the old model stays then.
    void Commit();

private:
    std::string target_;  // ".../voz", or the folder a link of that name points to
    std::string temp_;
    std::string model_, work_;
};

}  // namespace zel
