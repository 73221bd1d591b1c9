#include "recognition/HistoryLog.h"

#include <cerrno>
#include <cstring>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "platform/SystemFiles.h"

namespace zel {

THistoryLog::THistoryLog(std::string fileName, int64_t maxBytes) : fileName_(std::move(fileName)), maxBytes_(maxBytes) {}

THistoryLog::~THistoryLog() { Close(); }

void THistoryLog::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void THistoryLog::StartRun() {
    Close();
    told_ = false;
}

bool THistoryLog::Open() {
    // A link in the file's place goes; the history is written in its stead.
    file_ = OpenOwnFile(fileName_, true, true);
    if (!file_) return false;
    size_ = std::fseek(file_, 0, SEEK_END) == 0 ? static_cast<int64_t>(std::ftell(file_)) : 0;
    if (size_ < 0) size_ = 0;
    return true;
}

std::string THistoryLog::Append(const std::string& utf8Line) {
    const std::string line = utf8Line + "\n";
    bool ok = file_ || Open();
    if (ok && size_ > 0 && size_ + static_cast<int64_t>(line.size()) > maxBytes_) {
        // The full file becomes the old one; the move takes a link itself,
        // never its target.
        Close();
        const auto path = NativePath(fileName_);
        ok = MoveIntoPlace(path, NativePath(fileName_ + ".1")) && Open();
    }
    if (ok) {
        // One write per line, flushed at once: appended whole at the end.
        const size_t n = std::fwrite(line.data(), 1, line.size(), file_);
        ok = n == line.size() && std::fflush(file_) == 0;
        size_ += static_cast<int64_t>(n);
    }
    if (ok || told_) return {};
    const int error = errno;
    told_ = true;
    Close();
    return Utf8ToCp1252("Não foi possível gravar o histórico em ") + fileName_ + " (" +
           Utf8ToCp1252(std::strerror(error)) + Utf8ToCp1252("). O reconhecimento continua sem histórico.");
}

}  // namespace zel
