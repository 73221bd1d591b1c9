#include "tests/support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "commands/TextFile.h"

namespace zeltest {

TTempDir::TTempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("zeltest-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

// In the system's own spelling: on Windows with its backslashes, as the
// program's own names are.
std::string TTempDir::File(std::string_view name) const {
    return zel::CoreFileName((path_ / zel::NativePath(name)).make_preferred());
}

void TTempDir::Write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(path_ / zel::NativePath(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file");
}

std::string TTempDir::Read(std::string_view name) const {
    std::ifstream in(path_ / zel::NativePath(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read test file " + std::string(name));
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zeltest
