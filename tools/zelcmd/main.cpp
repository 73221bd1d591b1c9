// zelcmd: the core of MORO Zel from a terminal. UTF-8 in and out; exit status
// 0 on success, else the kind of failure (Subcommands.h) with the error
// message on stderr.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>

#include "commands/TextFile.h"
#endif

#include "commands/Cp1252.h"
#include "platform/SystemFiles.h"
#include "tools/zelcmd/Subcommands.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "uso:\n";
    for (const auto& s : zelcmd::Subcommands()) out << "  " << s.usage << '\n';
}

}  // namespace

namespace {

int Run(int argc, char** argv) {
    zel::InstallFileSync();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? zelcmd::kExitUsage : zelcmd::kExitOk;
    }
    for (const auto& s : zelcmd::Subcommands()) {
        if (std::strcmp(argv[1], s.name) != 0) continue;
        // Core messages are Windows-1252; the terminal reads UTF-8.
        auto report = [](const std::exception& e, int status) {
            std::cout.flush();
            std::cerr << "zelcmd: " << zel::Cp1252ToUtf8(e.what()) << '\n';
            return status;
        };
        try {
            return s.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const zelcmd::TExitError& e) {
            return report(e, e.Status);
        } catch (const std::exception& e) {
            return report(e, zelcmd::kExitError);
        }
    }
    std::cerr << "zelcmd: sub-comando desconhecido: " << argv[1] << '\n';
    PrintUsage(std::cerr);
    return zelcmd::kExitUsage;
}

}  // namespace

#ifdef _WIN32
// Windows gives the arguments as UTF-16: here they become UTF-8, as a Linux
// terminal gives them, and the console shows the UTF-8 that zelcmd writes.
int wmain(int argc, wchar_t** wargv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(zel::CoreFileName(std::filesystem::path(wargv[i])));
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return Run(argc, argv.data());
}
#else
int main(int argc, char** argv) { return Run(argc, argv); }
#endif
