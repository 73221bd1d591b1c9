#pragma once
// Runs an outside tool (the trainer's programs) and waits for it, its output
// and errors appended to a log file.
#include <string>
#include <vector>

namespace zel {

// argv[0] is the program: a path, or a name looked up on PATH. The log gets
// the command line first. Returns the exit status; -1 when the program could
// not be started, 128 + N when signal N ended it.
int RunTool(const std::vector<std::string>& argv, const std::string& logFile);

}  // namespace zel
