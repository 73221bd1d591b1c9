#include "recognition/training/UseStore.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/WrittenForm.h"
#include "recognition/GrammarCheck.h"
#include "recognition/WavWriter.h"
#include "platform/SystemProcess.h"
#include "recognition/training/OwnFolder.h"

namespace zel {

namespace {

// The name of the newest command the last adaptation began with.
constexpr const char* kAdaptedName = "adaptado.txt";

bool IsUseFileName(const std::string& name) {
    if (name == kPromptListName || name == kAdaptedName) return true;
    if (name.size() != 10 || name.compare(6, 4, ".wav") != 0) return false;
    for (size_t i = 0; i < 6; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

// "abrir+porta(2) dez" → "abrir porta dez": the words as said.
std::string SpokenSentence(const std::u16string& result) {
    std::string out;
    for (const std::string& w : ResultWords(Utf16ToCp1252(result))) {
        if (!out.empty()) out += ' ';
        out += WordFromWrittenForm(w);
    }
    return out;
}

std::string WavName(const TPrompt& p) { return std::filesystem::path(NativePath(p.Wav)).filename().string(); }

}  // namespace

bool WorthLearningFrom(const TUtteranceScore& s, int32_t threshold) {
    return threshold > 0 && s.Accepted && !s.Dictation && s.GrammarVerdict > 0 &&
           ResultWords(Utf16ToCp1252(s.GrammarHeard)) == ResultWords(Utf16ToCp1252(s.Text)) &&
           s.Confidence >= threshold + kLearningMargin;
}

TUseStore::TUseStore(std::string runtimeFolder, size_t maxCount, uint64_t maxBytes)
    : folder_(std::move(runtimeFolder)), maxCount_(maxCount), maxBytes_(maxBytes) {
    // "gravacoes/uso/" with the system's separator.
    for (char c : std::string(kUseFolderName)) folder_ += c == '/' ? FolderSeparator() : c;
    folder_ += FolderSeparator();
}

void TUseStore::RequireOwnFolder() const {
    if (!IsOwnFolder(NativePath(folder_), IsUseFileName)) RaiseNotOwnFolder(folder_);
}

std::vector<TPrompt> TUseStore::Prompts() const {
    std::error_code ec;
    if (!std::filesystem::exists(NativePath(folder_ + kPromptListName), ec)) return {};
    try {
        return ReadPromptList(folder_ + kPromptListName);
    } catch (const std::exception&) {
        return {};  // a damaged list: nothing to learn from, the next command writes it anew
    }
}

void TUseStore::Keep(const std::u16string& text, const std::vector<int16_t>& samples, int32_t rate) {
    const std::string sentence = SpokenSentence(text);
    if (sentence.empty() || samples.empty()) return;
    RequireOwnFolder();
    const std::filesystem::path path = NativePath(folder_);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) RaiseCannotCreate(folder_, ec.message());
    MarkOwnFolder(path);

    std::vector<TPrompt> kept = Prompts();
    // The next number after the newest.
    unsigned long next = 1;
    if (!kept.empty()) {
        const std::string last = WavName(kept.back());
        next = std::strtoul(last.c_str(), nullptr, 10) + 1;
        if (next > 999999) next = 1;
    }
    char name[16];
    std::snprintf(name, sizeof name, "%06lu.wav", next);
    WriteFileAtomic(folder_ + name, WavFileBytes(samples, rate));
    kept.push_back({folder_ + name, sentence});

    // The oldest go first, past either bound.
    uint64_t bytes = 0;
    for (const TPrompt& p : kept) bytes += std::filesystem::file_size(NativePath(p.Wav), ec);
    size_t drop = 0;
    while (kept.size() - drop > 1 && (kept.size() - drop > maxCount_ || bytes > maxBytes_)) {
        bytes -= std::filesystem::file_size(NativePath(kept[drop].Wav), ec);
        ++drop;
    }
    std::vector<std::string> list;
    for (size_t i = drop; i < kept.size(); ++i)
        list.push_back(WavName(kept[i]) + "\t" + kept[i].Sentence);
    WriteLines(folder_ + kPromptListName, list);
    for (size_t i = 0; i < drop; ++i) std::filesystem::remove(NativePath(kept[i].Wav), ec);
}

void TUseStore::MarkAdapted(const std::vector<TPrompt>& kept) {
    if (kept.empty()) return;
    RequireOwnFolder();
    WriteFileAtomic(folder_ + kAdaptedName, WavName(kept.back()) + "\r\n");
}

size_t TUseStore::NotAdaptedCount(const std::vector<TPrompt>& kept) const {
    std::error_code ec;
    if (!std::filesystem::exists(NativePath(folder_ + kAdaptedName), ec)) return kept.size();
    const std::string last = Trim(ReadFileBytes(folder_ + kAdaptedName));
    for (size_t i = kept.size(); i-- > 0;)
        if (WavName(kept[i]) == last) return kept.size() - 1 - i;
    return kept.size();  // that one is gone: all were kept since
}

bool TUseStore::Forget() {
    const std::filesystem::path path = NativePath(folder_);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return false;
    RequireOwnFolder();
    const bool any = !Prompts().empty();
    std::filesystem::remove_all(path, ec);
    if (ec) RaiseCannotCreate(folder_, ec.message());
    return any;
}

}  // namespace zel
