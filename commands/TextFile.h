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

#include "commands/Cp1252.h"

namespace zel {

// File names are not text: they are the file system's own bytes (on Windows
// its UTF-16 names as UTF-8), kept as they came from it (a dialog, the
// terminal, the program's folder) until they go back to it, so that any name
// works, also one Windows-1252 cannot write (a folder "Łódź"). They become text only to be shown: messages show
// them in Windows-1252 with '?' for what it lacks (FileNameForDisplay).
std::filesystem::path NativePath(std::string_view fileName);
std::string CoreFileName(const std::filesystem::path& path);
// What ends a folder's part of a file name on this system: the slash on
// Linux; on Windows the backslash, the slash and the drive's colon
// ("C:\jogos\" of "C:\jogos\jogo.exe", "C:" of "C:jogo.exe").
#ifdef _WIN32
inline constexpr std::string_view kFolderSeparators = "\\/:";
#else
inline constexpr std::string_view kFolderSeparators = "/";
#endif
// Whether a folder's name ends in a separator already.
inline bool EndsInFolderSeparator(std::string_view folder) {
    return !folder.empty() && kFolderSeparators.find(folder.back()) != std::string_view::npos;
}

// A file name as core text, for messages and captions only.
std::string FileNameForDisplay(std::string_view fileName);
// A name from inside a Windows-1252 file (a profile's program to launch) as
// a file name of this system.
std::string FileNameFromText(std::string_view cp1252);
// A file name kept in config.ini: the system's bytes, or Windows-1252 text
// where earlier versions wrote it so (which is almost never well-formed UTF-8).
std::string FileNameFromSetting(std::string_view value);

// Raises "Cannot open file %s" when the file cannot be read, also for a FIFO
// or a device (which would block or never end).
std::vector<std::string> ReadLines(const std::string& fileName);
// The whole file as bytes; raises "Cannot open file %s".
std::string ReadFileBytes(const std::string& fileName);
// A text file the user may have written on Linux: Windows-1252 or UTF-8
// (see DecodeFileText), as core text. Characters left out are told once per
// file through the notice; format, when given, receives how it was written.
std::string ReadTextFile(const std::string& fileName, TTextFormat* format = nullptr);
// The same for bytes already read from fileName.
std::string DecodeTextFileBytes(const std::string& fileName, std::string_view bytes, TTextFormat* format = nullptr);
// Why bytes cannot be a text file the program reads (core text), or empty
// when they can: a text file has no NUL byte (a picture, a program, a
// compressed file has many); UTF-16 is said so, with what to do.
std::string NotTextReason(std::string_view bytes);
// Raises "O arquivo %s " and that reason.
void RequireTextBytes(const std::string& fileName, std::string_view bytes);
std::vector<std::string> ReadTextLines(const std::string& fileName);

// Where notices go (UTF-8): a message box in the program, stderr in zelcmd,
// a recorder in tests. Without one they go to stderr.
using TNoticeSink = std::function<void(const std::string& utf8)>;
void SetNoticeSink(TNoticeSink sink);
// "<file>: caracteres ignorados: Ł ł" (UTF-8) for the characters a file lost.
std::string IgnoredCharactersNotice(const std::string& fileName, std::u32string_view ignored);

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
// Puts a new file in the place of an old one in one step (the old one may
// exist); false with errno set when it cannot. The default is
// std::filesystem::rename; the platform may set its own.
using TFileReplace = bool (*)(const std::filesystem::path& from, const std::filesystem::path& to);
void SetFileReplace(TFileReplace replace);

}  // namespace zel
