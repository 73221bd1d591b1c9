#pragma once
// A language model named in the argument file is read by the engine, which
// trusts what it reads: a header count that differs from the lines, or a line
// with a field missing, brings it down. The file is checked here first.
#include <string>

namespace zel {

// Checks an ARPA model as strictly as the models this program writes: text
// may precede the "\data\" line; then one "ngram N=COUNT" line for each order
// from 1 up; then for each order its "\N-grams:" section holding exactly
// COUNT lines of a probability, N words and at most one back-off weight,
// numbers that are finite; then "\end\". A NUL byte anywhere is refused (the
// engine's reader would split its lines elsewhere). Raises a message naming
// the file, the line and what is wrong. A binary model, a file without a
// "\data\" line and a file that cannot be opened are left to the engine.
void CheckArpaModel(const std::string& fileName);

}  // namespace zel
