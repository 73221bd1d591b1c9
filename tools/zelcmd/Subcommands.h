#pragma once
#include <string>
#include <vector>

namespace zelcmd {

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
