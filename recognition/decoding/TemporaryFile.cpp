#include "recognition/decoding/TemporaryFile.h"

#include <filesystem>
#include <system_error>

#include "commands/TextFile.h"
#include "platform/SystemFiles.h"

namespace zel {

TTemporaryFile TTemporaryFile::Holding(std::string_view text) {
    TTemporaryFile out;
    out.Path = WriteTemporaryFile(text);
    return out;
}

TTemporaryFile::TTemporaryFile(TTemporaryFile&& o) noexcept : Path(std::move(o.Path)) { o.Path.clear(); }

TTemporaryFile& TTemporaryFile::operator=(TTemporaryFile&& o) noexcept {
    if (this != &o) {
        Remove();
        Path = std::move(o.Path);
        o.Path.clear();
    }
    return *this;
}

void TTemporaryFile::Remove() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove(NativePath(Path), ec);
    Path.clear();
}

}  // namespace zel
