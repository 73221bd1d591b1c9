#pragma once
// What the dictation memo holds: a bundle, or sentences a user typed or
// pasted; and how much a bundle has learnt, for the dictation page's report
// after a corpus is loaded.
#include <cstdint>
#include <string>
#include <vector>

namespace zel {

// Whether the lines are a bundle: any of its section markers or a count line
// ("3<TAB>CASA") stands in them.
bool IsBundle(const std::vector<std::string>& lines);

// The sentences counted (the "<s>" count less the one every count file
// starts with), the distinct words (the markers left out), pairs and triples.
struct TBundleSummary {
    int64_t Sentences = 0;
    int64_t Words = 0;
    int64_t Pairs = 0;
    int64_t Triples = 0;
};
TBundleSummary SummarizeBundle(const std::vector<std::string>& lines);

}  // namespace zel
