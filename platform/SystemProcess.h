#pragma once
// The running program and the programs it runs, as this system has them.
// platform/posix and platform/win32 implement it.
#include <cstdint>
#include <string>
#include <vector>

namespace zel {

// The folder of the running executable as the system names it, ending in its
// separator ("/" on Linux, "\\" on Windows); "./" when it cannot be told.
std::string ProgramFolder();
// This system's folder separator.
char FolderSeparator();

// The folder of the user's own copy of the program's files, ending in the
// separator: "%LOCALAPPDATA%\MORO Zel\" on Windows; on Linux MORO_ZEL_HOME,
// else "$XDG_DATA_HOME/moro-zel/", else "~/.local/share/moro-zel/".
std::string UserDataFolder();
// Whether the program installed in folder is one for every user of the
// machine, which never writes beside itself: a folder it cannot write, and
// on Windows any folder under "Program Files".
bool SharedInstallation(const std::string& folder);

uint32_t ProcessId();
// Whether a process of that id still runs (also one of another user).
bool ProcessRunning(uint32_t pid);

// Runs an outside tool (the trainer's programs) and waits for it, its output
// and errors appended to logFile, its input empty. argv[0] is the program: a
// path, or a name looked up on PATH; the arguments are file names and core
// text as UTF-8. The log gets the command line first. Returns the exit
// status; -1 when the program could not be started, 128 + N when signal N
// ended it, kToolTimedOut when it ran past timeoutSeconds (0: no limit) and
// was ended. The tool never outlives the program, however the program ends.
inline constexpr int kToolTimedOut = -2;
int RunTool(const std::vector<std::string>& argv, const std::string& logFile, int timeoutSeconds = 0);

}  // namespace zel
