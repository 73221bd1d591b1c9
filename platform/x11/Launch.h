#pragma once
// Starting programs without a shell: the parameter text is split into
// arguments here, so nothing in it (";", "$", "|", quotes) is ever read by a
// command interpreter.
#include <string>
#include <vector>

namespace zel {

// Splits a parameter text as a user expects: at blanks and tabs; a pair of
// double quotes keeps blanks inside one argument ("a b") and is removed; an
// empty pair gives an empty argument. Nothing else is special.
std::vector<std::string> SplitParameters(const std::string& parameters);

// The full path of an executable, made absolute against the current folder:
// program itself when it has a "/", else the first match on PATH. Empty when
// there is no such executable file.
std::string FindExecutable(const std::string& program);

// Starts path with the arguments (argv[0] = path) in workFolder (the current
// folder when empty), detached: in a session of its own, never waited for.
// Returns false, at once, when the folder cannot be entered or the program
// cannot be executed. Texts are the file system's (UTF-8).
bool SpawnDetached(const std::string& path, const std::vector<std::string>& arguments, const std::string& workFolder);

}  // namespace zel
