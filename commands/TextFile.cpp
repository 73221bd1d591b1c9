#include "commands/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

std::filesystem::path NativePath(std::string_view cp1252FileName) {
    return std::filesystem::path(Cp1252ToUtf8(cp1252FileName));
}

std::string CoreFileName(const std::filesystem::path& path) { return Utf8ToCp1252(path.string()); }

void ForEachLine(std::string_view bytes, const std::function<void(std::string_view)>& line) {
    size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            line(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) line(bytes.substr(start));
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachLine(bytes, [&](std::string_view l) { lines.emplace_back(l); });
    return lines;
}

std::string ReadFileBytes(const std::string& fileName) {
    std::error_code ec;
    auto path = NativePath(fileName);
    if (std::filesystem::is_directory(path, ec)) RaiseCannotOpen(fileName);
    std::ifstream in(path, std::ios::binary);
    if (!in) RaiseCannotOpen(fileName);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) RaiseCannotOpen(fileName);
    return std::move(buffer).str();
}

std::vector<std::string> ReadLines(const std::string& fileName) { return SplitLines(ReadFileBytes(fileName)); }

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void WriteFileAtomic(const std::string& fileName, std::string_view bytes) {
    namespace fs = std::filesystem;
    fs::path target = NativePath(fileName);
    std::error_code ec;
    if (fs::is_directory(target, ec)) RaiseCannotCreate(fileName);
    fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device rd;
    fs::path temp = folder / ("." + target.filename().string() + ".tmp" + std::to_string(rd()));
    {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f) RaiseCannotCreate(fileName);
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = (std::fflush(f) == 0) && ok;
        ok = (std::fclose(f) == 0) && ok;
        if (!ok) {
            fs::remove(temp, ec);
            RaiseCannotCreate(fileName);
        }
    }
    // Keep the permissions the user gave the old file.
    auto oldStatus = fs::status(target, ec);
    if (!ec && fs::exists(oldStatus)) fs::permissions(temp, oldStatus.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        RaiseCannotCreate(fileName);
    }
}

void WriteLines(const std::string& fileName, const std::vector<std::string>& lines) {
    WriteFileAtomic(fileName, JoinLinesCrLf(lines));
}

bool FileExists(const std::string& fileName) {
    std::error_code ec;
    return std::filesystem::is_regular_file(NativePath(fileName), ec);
}

}  // namespace zel
