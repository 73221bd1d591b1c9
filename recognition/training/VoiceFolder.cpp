#include "recognition/training/VoiceFolder.h"

#include <filesystem>
#include <system_error>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemProcess.h"
#include "recognition/training/OwnFolder.h"
#include "recognition/training/SphinxModelFiles.h"

namespace zel {

namespace fs = std::filesystem;

namespace {

// The old model waits under this name between the two renames of Commit.
constexpr const char* kOldSuffix = ".velho";
constexpr const char* kTempPrefix = ".novo-";

// Where the model really lives: through a link named "voz", its target.
fs::path Target(const std::string& programFolder) {
    fs::path voz = NativePath(programFolder) / kVoiceFolderName;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(voz, ec))) {
        fs::path to = fs::read_symlink(voz, ec);
        if (!ec) return to.is_absolute() ? to : voz.parent_path() / to;
    }
    return voz;
}

fs::path WithSuffix(const fs::path& p, const std::string& suffix) {
    fs::path out = p;
    out += NativePath(suffix);
    return out;
}

// The files of an acoustic model: what a trained voice held before the
// program marked its folders.
bool IsModelFileName(const std::string& name) {
    for (const char* n : {"mdef", "means", "variances", "sendump", "mixture_weights", "transition_matrices",
                          "feat.params", "noisedict", "README", "LICENSE"})
        if (name == n) return true;
    return false;
}

bool NoLegacyName(const std::string&) { return false; }

// What a training left: its marker or a model's main files. Whether the
// model is whole is told at switch-on (VoiceModelDamage).
bool IsModel(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / kOwnFolderMarker, ec) || fs::is_regular_file(folder / "mdef", ec) ||
           fs::is_regular_file(folder / "means", ec);
}

void Recover(const fs::path& target) {
    std::error_code ec;
    const fs::path old = WithSuffix(target, kOldSuffix);
    if (!fs::exists(fs::symlink_status(old, ec))) return;
    if (fs::exists(target, ec)) {
        // The new model made it: the old one was on its way out.
        if (IsOwnFolder(old, IsModelFileName)) fs::remove_all(old, ec);
    } else {
        fs::rename(old, target, ec);  // stopped between the renames: the old one comes back
    }
}

}  // namespace

std::string AdaptedModelFolder(const std::string& programFolder) {
    const fs::path target = Target(programFolder);
    Recover(target);
    if (!IsModel(target)) return {};
    return CoreFileName(NativePath(programFolder) / kVoiceFolderName);
}

std::string VoiceModelDamage(const std::string& voiceFolder, const std::string& baseModel) {
    const fs::path voice = NativePath(voiceFolder), base = NativePath(baseModel);
    std::error_code ec;
    auto has = [&](const char* name) { return fs::is_regular_file(voice / name, ec); };
    // A voice whose mixture weights were adapted has them unquantized instead.
    const bool ownWeights = has("mixture_weights") && !has("sendump");
    for (const auto& entry : fs::directory_iterator(base, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = CoreFileName(entry.path().filename());
        if (name == "means" || name == "variances" || (ownWeights && name == "sendump")) continue;
        if (!has(name.c_str())) return Utf8ToCp1252("falta o arquivo ") + name;
        if (ReadFileBytes(CoreFileName(voice / name)) != ReadFileBytes(CoreFileName(entry.path())))
            return name + Utf8ToCp1252(" não é o do modelo instalado");
    }
    const std::vector<std::string> adapted =
        ownWeights ? std::vector<std::string>{"means", "variances", "mixture_weights"} : std::vector<std::string>{"means", "variances"};
    for (const std::string& name : adapted) {
        if (!has(name.c_str())) return Utf8ToCp1252("falta o arquivo ") + name;
        const std::string bytes = ReadFileBytes(CoreFileName(voice / name));
        if (!IsWholeSphinxBinaryFile(bytes)) return name + Utf8ToCp1252(" está incompleto ou alterado");
        if (name == "mixture_weights") continue;
        try {
            const TGaussians mine = ReadGaussians(bytes, name);
            const TGaussians installed = ReadGaussians(ReadFileBytes(CoreFileName(base / name)), name);
            if (mine.Codebooks != installed.Codebooks || mine.Densities != installed.Densities ||
                mine.VecLen != installed.VecLen)
                return name + Utf8ToCp1252(" não tem as dimensões do modelo instalado");
        } catch (const TError& e) {
            return e.what();
        }
    }
    return {};
}

bool ForgetVoiceModel(const std::string& programFolder) {
    const fs::path voz = NativePath(programFolder) / kVoiceFolderName;
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(voz, ec);
    if (!fs::exists(st)) return false;
    if (fs::is_symlink(st)) {
        if (!fs::remove(voz, ec)) RaiseCannotCreate(CoreFileName(voz), ec.message());
        return true;
    }
    if (!IsOwnFolder(voz, IsModelFileName)) RaiseNotOwnFolder(CoreFileName(voz));
    fs::remove_all(voz, ec);
    if (ec) RaiseCannotCreate(CoreFileName(voz), ec.message());
    if (IsOwnFolder(WithSuffix(voz, kOldSuffix), IsModelFileName)) fs::remove_all(WithSuffix(voz, kOldSuffix), ec);
    return true;
}

TVoiceModelBuild::TVoiceModelBuild(const std::string& programFolder) {
    const fs::path target = Target(programFolder);
    Recover(target);
    target_ = CoreFileName(target);
    // What is there is replaced only when it is a trained voice (or nothing).
    if (!IsOwnFolder(target, IsModelFileName)) RaiseNotOwnFolder(target_);
    std::error_code ec;
    // Trainings that were stopped left their temporary folders.
    const std::string prefix = CoreFileName(target.filename()) + kTempPrefix;
    for (const auto& entry : fs::directory_iterator(target.parent_path(), ec))
        if (CoreFileName(entry.path().filename()).rfind(prefix, 0) == 0 && fs::is_directory(entry.symlink_status(ec)) &&
            IsOwnFolder(entry.path(), NoLegacyName))
            fs::remove_all(entry.path(), ec);
    const fs::path temp = WithSuffix(target, kTempPrefix + std::to_string(ProcessId()));
    fs::create_directories(temp / "modelo", ec);
    if (!ec) fs::create_directories(temp / "trabalho", ec);
    if (ec) RaiseCannotCreate(CoreFileName(temp), ec.message());
    MarkOwnFolder(temp);
    MarkOwnFolder(temp / "modelo");
    temp_ = CoreFileName(temp);
    model_ = CoreFileName(temp / "modelo") + FolderSeparator();
    work_ = CoreFileName(temp / "trabalho") + FolderSeparator();
}

TVoiceModelBuild::~TVoiceModelBuild() {
    std::error_code ec;
    fs::remove_all(NativePath(temp_), ec);
}

void TVoiceModelBuild::Commit() {
    const fs::path target = NativePath(target_);
    const fs::path old = WithSuffix(target, kOldSuffix);
    std::error_code ec;
    fs::remove_all(old, ec);
    const bool hadOne = fs::exists(target, ec);
    if (hadOne) {
        fs::rename(target, old, ec);
        if (ec) RaiseCannotCreate(target_, ec.message());
    }
    fs::rename(NativePath(model_).parent_path(), target, ec);
    if (ec) {
        std::error_code back;
        if (hadOne) fs::rename(old, target, back);
        RaiseCannotCreate(target_, ec.message());
    }
    fs::remove_all(old, ec);
}

}  // namespace zel
