// zelcmd: the core of MORO Zel from a terminal. UTF-8 in and out; exit status
// 0 on success, 1 with the error message on stderr.
#include <cstring>
#include <exception>
#include <iostream>

#include "commands/Cp1252.h"
#include "platform/x11/FileSync.h"
#include "tools/zelcmd/Subcommands.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "uso:\n";
    for (const auto& s : zelcmd::Subcommands()) out << "  " << s.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    zel::InstallFileSync();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    for (const auto& s : zelcmd::Subcommands()) {
        if (std::strcmp(argv[1], s.name) != 0) continue;
        try {
            return s.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            // Core messages are Windows-1252; the terminal reads UTF-8.
            std::cout.flush();
            std::cerr << "zelcmd: " << zel::Cp1252ToUtf8(e.what()) << '\n';
            return 1;
        }
    }
    std::cerr << "zelcmd: sub-comando desconhecido: " << argv[1] << '\n';
    PrintUsage(std::cerr);
    return 1;
}
