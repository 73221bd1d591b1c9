#pragma once
#include <string>
#include <vector>

#include "commands/ZelError.h"

namespace zelcmd {

// Exit statuses, so that a script can tell what went wrong; the message is on
// stderr in every case but the first.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;          // a file, a profile, the recognizer...
inline constexpr int kExitUsage = 2;          // the command line
inline constexpr int kExitAudio = 3;          // the microphone could not be opened or went away
inline constexpr int kExitInterrupted = 130;  // Ctrl+C before listening began (128 + SIGINT)

// An error that ends zelcmd with a status of its own (message Windows-1252).
class TExitError : public zel::TError {
public:
    TExitError(int status, const std::string& message) : zel::TError(message), Status(status) {}
    int Status;
};

// argv holds the arguments after the sub-command's name, as UTF-8.
using TRunFunction = int (*)(const std::vector<std::string>& argv);

struct TSubcommand {
    const char* name;
    const char* usage;
    TRunFunction run;
};

const std::vector<TSubcommand>& Subcommands();

int RunProfile(const std::vector<std::string>& argv);
int RunPhonemes(const std::vector<std::string>& argv);
int RunModel(const std::vector<std::string>& argv);
int RunSay(const std::vector<std::string>& argv);
int RunListen(const std::vector<std::string>& argv);
int RunSources(const std::vector<std::string>& argv);
int RunTrain(const std::vector<std::string>& argv);

}  // namespace zelcmd
