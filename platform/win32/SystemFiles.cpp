#include "platform/SystemFiles.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

// errno for the few failures a message tells apart.
void SetErrnoFromLastError() {
    switch (GetLastError()) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: errno = EACCES; break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
        default: errno = EIO; break;
    }
}

}  // namespace

bool SyncPath(const std::filesystem::path& path) {
    std::error_code ec;
    // A folder's entries are made durable by the move itself (write-through).
    if (std::filesystem::is_directory(path, ec)) return true;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return false;
    }
    const bool ok = FlushFileBuffers(h) != 0;
    if (!ok) SetErrnoFromLastError();
    CloseHandle(h);
    return ok;
}

bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFromLastError();
    return false;
}

void InstallFileSync() {
    SetFileSync(&SyncPath);
    SetFileReplace(&MoveIntoPlace);
}

std::FILE* OpenOwnFile(const std::string& fileName, bool append, bool /*ownerOnly: a user's profile folder is his*/) {
    const std::filesystem::path path = NativePath(fileName);
    std::error_code ec;
    // A link in the file's place goes; the file is written in its stead.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) std::filesystem::remove(path, ec);
    return _wfopen(path.c_str(), append ? L"ab" : L"wb");
}

TFolderLock::TFolderLock(const std::string& folder) {
    const std::string name = (EndsInFolderSeparator(folder) ? folder : folder + "\\") + kFolderLockName;
    // Opened for no one else: a second run's open fails while this one lives
    // (the handle is not inherited, and the system closes it at any end).
    HANDLE h = CreateFileW(NativePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            throw TError(Utf8ToCp1252("Outra execução do programa usa a pasta ") + FileNameForDisplay(folder));
        SetErrnoFromLastError();
        RaiseCannotCreate(name, std::strerror(errno));
    }
    handle_ = reinterpret_cast<intptr_t>(h);
}

TFolderLock::~TFolderLock() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::string WriteTemporaryFile(std::string_view bytes) {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH || GetTempFileNameW(folder, L"zel", 0, name) == 0) return {};
    std::FILE* f = _wfopen(name, L"wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (ok) return CoreFileName(std::filesystem::path(name));
    DeleteFileW(name);
    return {};
}

}  // namespace zel
