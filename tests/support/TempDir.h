#pragma once
// A scratch folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <string>
#include <string_view>

namespace zeltest {

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A file name inside the folder (the system's bytes, as the core keeps file names).
    std::string File(std::string_view name) const;
    void Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;

private:
    std::filesystem::path path_;
};

}  // namespace zeltest
