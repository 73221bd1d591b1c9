#include "langmodel/BundleSummary.h"

#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"

namespace zel {

bool IsBundle(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::string t = Trim(line);
        if (t == kMarkerUni || t == kMarkerBi || t == kMarkerTri || t == kMarkerEndUbt || t == kMarkerDic || t == kMarkerEndDic)
            return true;
        // A count line without its headings is a bundle's too.
        const size_t tab = t.find('\t');
        if (tab != std::string::npos && TryStrToInt(t.substr(0, tab))) return true;
    }
    return false;
}

TBundleSummary SummarizeBundle(const std::vector<std::string>& lines) {
    TBundleSummary summary;
    int64_t* section = nullptr;
    for (const std::string& line : lines) {
        if (line == kMarkerUni) section = &summary.Words;
        else if (line == kMarkerBi) section = &summary.Pairs;
        else if (line == kMarkerTri) section = &summary.Triples;
        else if (line == kMarkerEndUbt) break;
        else if (section) {
            const size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            const std::string gram = line.substr(tab + 1);
            if (section == &summary.Words && (gram == "<s>" || gram == "</s>")) {
                if (gram == "<s>") summary.Sentences = TryStrToInt(line.substr(0, tab)).value_or(1) - 1;
                continue;
            }
            ++*section;
        }
    }
    return summary;
}

}  // namespace zel
