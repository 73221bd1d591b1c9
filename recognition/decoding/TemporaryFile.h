#pragma once
// A file the engine loads while it lives: a grammar, a dictionary with
// alternates, a model with the number pairs. Removed when it goes.
#include <string>
#include <string_view>

namespace zel {

struct TTemporaryFile {
    std::string Path;  // UTF-8, as the engine takes it; empty: none

    // text in a new file of the temporary folder; none when it cannot be written.
    static TTemporaryFile Holding(std::string_view text);

    TTemporaryFile() = default;
    TTemporaryFile(TTemporaryFile&& o) noexcept;
    TTemporaryFile& operator=(TTemporaryFile&& o) noexcept;
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile() { Remove(); }
    void Remove();
};

}  // namespace zel
