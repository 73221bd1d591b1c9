#pragma once
// What the program asks of the file system beyond the standard library:
// durable writes, its own log files, and scratch files for the recognizer.
// platform/posix and platform/win32 implement it.
#include <cstdio>
#include <filesystem>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

// Makes a file (or a folder's entries) durable on the disk; false with errno
// set when it cannot.
bool SyncPath(const std::filesystem::path& path);
// Puts a new file in the place of an old one in one step; false with errno
// set when it cannot. A link in the old one's place is replaced, not followed.
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);
// Hands both to the core's atomic file writer (commands/TextFile.h).
void InstallFileSync();

// Opens a file the program writes for itself (a log), emptied or appended
// to; only its owner may read it when ownerOnly. A link put in its place is
// replaced by the file, never followed (its target would be overwritten).
// Null, with errno set, when it cannot be opened.
std::FILE* OpenOwnFile(const std::string& fileName, bool append, bool ownerOnly = false);

// One run of the program at a time in a folder (switching on, training):
// a lock on the file ".zel-em-uso" inside, given back when the object goes
// or the process ends, however it ends. Raises "Outra execução do programa
// usa a pasta %s" while another run holds it, and "Cannot create file %s"
// when the file cannot be made.
class TFolderLock {
public:
    explicit TFolderLock(const std::string& folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

private:
    intptr_t handle_;
};
inline constexpr const char* kFolderLockName = ".zel-em-uso";

// A new file in the system's temporary folder holding bytes, only its
// owner's; its name, or empty when it could not be written.
std::string WriteTemporaryFile(std::string_view bytes);

}  // namespace zel
