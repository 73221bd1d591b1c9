#include "commands/TextFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

#ifdef _WIN32
// Windows spells file names in UTF-16; inside the program they are UTF-8, so
// that any name survives (the ANSI code page would lose what it cannot write).
std::filesystem::path NativePath(std::string_view fileName) {
    std::wstring wide;
    wide.reserve(fileName.size());
    for (size_t i = 0; i < fileName.size();) {
        char32_t cp = 0xFFFD;
        size_t len = NextUtf8(fileName, i, cp);
        if (len == 0) {
            cp = 0xFFFD;
            len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(cp);
        }
    }
    return std::filesystem::path(wide);
}

std::string CoreFileName(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char16_t>(wide[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(wide[++i]) - 0xDC00);
        else if (cp >= 0xD800 && cp < 0xE000)
            cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
        out += CodePointToUtf8(cp);
    }
    return out;
}
#else
std::filesystem::path NativePath(std::string_view fileName) { return std::filesystem::path(fileName); }

std::string CoreFileName(const std::filesystem::path& path) { return path.native(); }
#endif

// Names are UTF-8 inside (on Linux by convention); bytes that are not show as '?'.
std::string FileNameForDisplay(std::string_view fileName) { return Utf8ToCp1252(fileName); }

std::string FileNameFromText(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

std::string FileNameFromSetting(std::string_view value) {
    return WellFormedUtf8(value) == value ? std::string(value) : FileNameFromText(value);
}

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
    auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) RaiseCannotOpen(fileName);
    // A FIFO or a device would block the reader or never end.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        RaiseCannotOpen(fileName, Utf8ToCp1252("não é um arquivo comum"));
    std::ifstream in(path, std::ios::binary);
    if (!in) RaiseCannotOpen(fileName);
    // Sized from the file, read once: no buffer that doubles as it grows.
    std::string bytes;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) bytes.reserve(static_cast<size_t>(size));
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) bytes.append(chunk, static_cast<size_t>(in.gcount()));
    if (in.bad()) RaiseCannotOpen(fileName);
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& fileName) { return SplitLines(ReadFileBytes(fileName)); }

namespace {

TNoticeSink& NoticeSink() {
    static TNoticeSink sink;
    return sink;
}

void Notify(const std::string& utf8) {
    if (NoticeSink()) NoticeSink()(utf8);
    else std::fprintf(stderr, "%s\n", utf8.c_str());
}

}  // namespace

void SetNoticeSink(TNoticeSink sink) { NoticeSink() = std::move(sink); }

std::string IgnoredCharactersNotice(const std::string& fileName, std::u32string_view ignored) {
    std::string out = WellFormedUtf8(fileName) + ": caracteres ignorados:";
    for (char32_t c : ignored) {
        out += ' ';
        out += CodePointToUtf8(c);
    }
    return out;
}

std::string NotTextReason(std::string_view bytes) {
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return Utf8ToCp1252("está gravado em UTF-16: salve-o como UTF-8 ou ANSI");
    // Pictures, programs and compressed files all hold NUL bytes; text never does.
    if (bytes.find('\0') != std::string_view::npos) return Utf8ToCp1252("não é um arquivo de texto");
    return {};
}

void RequireTextBytes(const std::string& fileName, std::string_view bytes) {
    const std::string why = NotTextReason(bytes);
    if (!why.empty()) throw TError(Utf8ToCp1252("O arquivo ") + FileNameForDisplay(fileName) + " " + why + ".");
}

std::string ReadTextFile(const std::string& fileName, TTextFormat* format) {
    return DecodeTextFileBytes(fileName, ReadFileBytes(fileName), format);
}

std::string DecodeTextFileBytes(const std::string& fileName, std::string_view bytes, TTextFormat* format) {
    TDecodedText decoded = DecodeFileText(bytes);
    if (!decoded.Ignored.empty()) Notify(IgnoredCharactersNotice(fileName, decoded.Ignored));
    if (format) *format = decoded.Format;
    return std::move(decoded.Text);
}

std::vector<std::string> ReadTextLines(const std::string& fileName) { return SplitLines(ReadTextFile(fileName)); }

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

namespace {

std::atomic<TFileSync> fileSync{nullptr};

bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec) errno = ec.value();
    return !ec;
}
std::atomic<TFileReplace> fileReplace{&RenameOver};

std::FILE* CreateForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

// The reason for a failed write that the user can act on, or empty.
std::string WriteFailureReason(int error) {
    if (error == ENOSPC
#ifdef EDQUOT
        || error == EDQUOT
#endif
    )
        return Utf8ToCp1252("disco cheio");
    return {};
}

// The file a name stands for: a symbolic link is followed to its target, so
// that the target is replaced and the link stays a link.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) break;
        fs::path link = fs::read_symlink(path, ec);
        if (ec) break;
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

}  // namespace

void SetFileSync(TFileSync sync) { fileSync = sync; }

void SetFileReplace(TFileReplace replace) { fileReplace = replace ? replace : &RenameOver; }

void WriteFileAtomic(const std::string& fileName, std::string_view bytes) {
    namespace fs = std::filesystem;
    fs::path target = FollowLinks(NativePath(fileName));
    std::error_code ec;
    if (fs::is_directory(target, ec)) RaiseCannotCreate(fileName);
    fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device rd;
    fs::path temp = folder / NativePath("." + CoreFileName(target.filename()) + ".tmp" + std::to_string(rd()));
    const TFileSync sync = fileSync;
    {
        errno = 0;
        std::FILE* f = CreateForWriting(temp);
        if (!f) RaiseCannotCreate(fileName, WriteFailureReason(errno));
        int error = 0;
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (!ok) error = errno;
        ok = (std::fflush(f) == 0) && ok;
        if (!ok && !error) error = errno;
        ok = (std::fclose(f) == 0) && ok;
        if (!ok && !error) error = errno;
        // On the disk before it replaces the old file: a crash just after
        // the rename must not leave an empty file in its place.
        if (ok && sync && !sync(temp)) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            fs::remove(temp, ec);
            RaiseCannotCreate(fileName, WriteFailureReason(error));
        }
    }
    // Keep the permissions the user gave the old file.
    auto oldStatus = fs::status(target, ec);
    if (!ec && fs::exists(oldStatus)) fs::permissions(temp, oldStatus.permissions(), ec);
    errno = 0;
    if (!fileReplace.load()(temp, target)) {
        int error = errno;
        fs::remove(temp, ec);
        RaiseCannotCreate(fileName, WriteFailureReason(error));
    }
    if (sync) sync(folder);  // the rename itself
}

void WriteLines(const std::string& fileName, const std::vector<std::string>& lines) {
    WriteFileAtomic(fileName, JoinLinesCrLf(lines));
}

bool FileExists(const std::string& fileName) {
    std::error_code ec;
    return std::filesystem::is_regular_file(NativePath(fileName), ec);
}

}  // namespace zel
