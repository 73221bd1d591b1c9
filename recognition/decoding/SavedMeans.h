#pragma once
// The cepstral mean each audio source's last run ended with, kept in the
// runtime folder so that the program's next run on that source starts from
// it: started from the acoustic model's mean, the first command of every run
// was decoded twice (0.47-0.66 s from the end of speech to its result).
//
// The file is the program's own: one line a source, its name, a tab and the
// mean's values; the most recent first, at most kMaxSavedMeans.
#include <string>
#include <string_view>
#include <vector>

namespace zel {

inline constexpr const char* kSavedMeansFileName = "media_cepstral.txt";
inline constexpr size_t kMaxSavedMeans = 32;

// The source's mean in the file's text; empty when it has none, or none a
// microphone could give (a damaged or foreign line is ignored).
std::vector<float> SavedMeanOf(std::string_view text, const std::string& source);
// The file's text with the source's mean first and older ones after it.
std::string WithSavedMean(std::string_view text, const std::string& source, const std::vector<float>& mean);

// The same over the file (fileName: the system's bytes). Reading never
// raises: a missing or unreadable file has no means. Writing replaces the
// file in one step and raises "Cannot create file %s" when it cannot.
std::vector<float> ReadSavedMean(const std::string& fileName, const std::string& source);
void WriteSavedMean(const std::string& fileName, const std::string& source, const std::vector<float>& mean);

}  // namespace zel
