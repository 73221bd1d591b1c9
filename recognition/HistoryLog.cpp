#include "recognition/HistoryLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"

namespace zel {

THistoryLog::THistoryLog(std::string fileName, int64_t maxBytes) : fileName_(std::move(fileName)), maxBytes_(maxBytes) {}

THistoryLog::~THistoryLog() { Close(); }

void THistoryLog::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void THistoryLog::StartRun() {
    Close();
    told_ = false;
}

bool THistoryLog::Open() {
    const std::string path = NativePath(fileName_).string();
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC;
    fd_ = ::open(path.c_str(), flags, 0600);
    // A link in the file's place goes; the history is written in its stead.
    if (fd_ < 0 && errno == ELOOP && ::unlink(path.c_str()) == 0) fd_ = ::open(path.c_str(), flags | O_EXCL, 0600);
    if (fd_ < 0) return false;
    struct stat st{};
    size_ = ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
    return true;
}

std::string THistoryLog::Append(const std::string& utf8Line) {
    const std::string line = utf8Line + "\n";
    bool ok = fd_ >= 0 || Open();
    if (ok && size_ > 0 && size_ + static_cast<int64_t>(line.size()) > maxBytes_) {
        // The full file becomes the old one; rename moves a link itself,
        // never its target.
        Close();
        const std::string path = NativePath(fileName_).string();
        ok = ::rename(path.c_str(), (path + ".1").c_str()) == 0 && Open();
    }
    if (ok) {
        // One write per line: O_APPEND puts it whole at the end.
        const ssize_t n = ::write(fd_, line.data(), line.size());
        ok = n == static_cast<ssize_t>(line.size());
        if (n > 0) size_ += n;
    }
    if (ok || told_) return {};
    const int error = errno;
    told_ = true;
    Close();
    return Utf8ToCp1252("Não foi possível gravar o histórico em ") + fileName_ + " (" +
           Utf8ToCp1252(std::strerror(error)) + Utf8ToCp1252("). O reconhecimento continua sem histórico.");
}

}  // namespace zel
