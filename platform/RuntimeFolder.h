#pragma once
// Where the program finds what it ships and where it keeps its own files.
// Both are the program's folder, unless the program is installed for every
// user (SharedInstallation): then its files go to a folder of the user's own
// (UserDataFolder), which gets copies of the example profiles, to edit and
// keep (never replaced once there), and of the shipped data files, which a
// new installation brings up to date unless the user has changed them. The
// recognizer's folder and the hook library stay the installation's.
#include <string>

namespace zel {

// The shipped files the user's folder gets copies of.
inline constexpr const char* kShippedDataFiles[] = {"modnum.ini", "beep.wav", "phoneset.txt", "frases_treino.txt"};

struct TProgramFolders {
    std::string Installation;  // the program's folder, ending in the separator
    std::string Runtime;       // where config.ini and every file the program writes go
};

// The folders of the running program. Raises "Cannot create file %s" when
// the user's folder is needed and cannot be made.
TProgramFolders ProgramFolders();

// The user's folder prepared from an installation (as ProgramFolders does).
void PrepareRuntimeFolder(const std::string& installation, const std::string& runtime);

}  // namespace zel
