#pragma once
// Text files as lists of lines. Reading accepts CR LF, CR and LF; writing ends
// every line with CR LF. Writes go to a temporary file in the same folder that
// is renamed over the old one, so a full disk or a crash never leaves a
// half-written file behind.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// File names are core text (Windows-1252) like every other text; the file
// system is an edge and takes them as UTF-8. Every file access goes through this.
std::filesystem::path NativePath(std::string_view cp1252FileName);
// The other way: a path from the system (or Qt, or the terminal) as core text.
std::string CoreFileName(const std::filesystem::path& path);

// Raises "Cannot open file %s" when the file cannot be read, also for a FIFO
// or a device (which would block or never end).
std::vector<std::string> ReadLines(const std::string& fileName);
// The whole file as bytes; raises "Cannot open file %s".
std::string ReadFileBytes(const std::string& fileName);
// Splits bytes into lines: a line ends at CR LF, CR or LF; a last line without
// an end counts; an empty text has no line.
std::vector<std::string> SplitLines(std::string_view bytes);
// The same lines, one call each, without keeping them.
void ForEachLine(std::string_view bytes, const std::function<void(std::string_view)>& line);

// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Writes bytes atomically; raises "Cannot create file %s" on failure, with
// the reason when it is one the user can act on ("disco cheio"). A name that
// is a symbolic link keeps being one: the file it points to is replaced.
void WriteFileAtomic(const std::string& fileName, std::string_view bytes);
void WriteLines(const std::string& fileName, const std::vector<std::string>& lines);

bool FileExists(const std::string& fileName);

// Makes a file (or a folder's entries) durable on the disk; false with errno
// set when it cannot. The platform sets it; the atomic write calls it on the
// new file before the rename and on the folder after it.
using TFileSync = bool (*)(const std::filesystem::path& path);
void SetFileSync(TFileSync sync);

}  // namespace zel
