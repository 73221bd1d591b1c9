#include "platform/RuntimeFolder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemProcess.h"

namespace zel {

namespace fs = std::filesystem;

namespace {

// What the user's folder got from the installation: a line per file, its
// name, a tab and the FNV-1a hash of the bytes copied.
constexpr const char* kCopiesFile = ".copiados";

std::string Hash(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    std::ostringstream out;
    out << std::hex << h;
    return out.str();
}

std::map<std::string, std::string> ReadCopies(const std::string& file) {
    std::map<std::string, std::string> copies;
    if (!FileExists(file)) return copies;
    for (const std::string& line : ReadLines(file)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) copies[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return copies;
}

}  // namespace

void PrepareRuntimeFolder(const std::string& installation, const std::string& runtime) {
    std::error_code ec;
    fs::create_directories(NativePath(runtime + "profiles"), ec);
    if (ec) RaiseCannotCreate(runtime, ec.message());
    // The example profiles: copied once, never over the user's own.
    for (const auto& entry : fs::directory_iterator(NativePath(installation + "profiles"), ec)) {
        const fs::path target = NativePath(runtime + "profiles") / entry.path().filename();
        if (entry.path().extension() == ".zpr" && !fs::exists(target, ec)) fs::copy_file(entry.path(), target, ec);
    }
    // The data files: a copy the user has not changed follows the installation.
    std::map<std::string, std::string> copies = ReadCopies(runtime + kCopiesFile);
    bool changed = false;
    for (const char* name : kShippedDataFiles) {
        const std::string shipped = installation + name, own = runtime + name;
        if (!FileExists(shipped)) continue;
        const std::string bytes = ReadFileBytes(shipped);
        const bool present = FileExists(own);
        const bool untouched = present && copies.count(name) && Hash(ReadFileBytes(own)) == copies[name];
        if (present && (!untouched || copies[name] == Hash(bytes))) continue;
        WriteFileAtomic(own, bytes);
        copies[name] = Hash(bytes);
        changed = true;
    }
    if (!changed) return;
    std::vector<std::string> lines;
    for (const auto& [name, hash] : copies) lines.push_back(name + "\t" + hash);
    WriteLines(runtime + kCopiesFile, lines);
}

TProgramFolders ProgramFolders() {
    TProgramFolders folders;
    folders.Installation = ProgramFolder();
    folders.Runtime = folders.Installation;
    if (!SharedInstallation(folders.Installation)) return folders;
    folders.Runtime = UserDataFolder();
    PrepareRuntimeFolder(folders.Installation, folders.Runtime);
    return folders;
}

}  // namespace zel
