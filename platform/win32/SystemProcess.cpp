#include "platform/SystemProcess.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "commands/TextFile.h"

namespace zel {

namespace {

// One argument as CommandLineToArgvW and the C run time read it back: quoted
// when it holds a blank or a quote, a backslash doubled only before a quote.
std::wstring QuotedArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

std::string ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return "./";
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return CoreFileName(std::filesystem::path(buffer).parent_path()) + "\\";
}

char FolderSeparator() { return '\\'; }

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) out = path;
    CoTaskMemFree(path);
    return out;
}

// Whether a file can be made in the folder.
bool Writable(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / L".moro-zel-escrita";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(h);
    return true;
}

}  // namespace

std::string UserDataFolder() {
    return CoreFileName(std::filesystem::path(KnownFolder(FOLDERID_LocalAppData)) / L"MORO Zel") + "\\";
}

bool SharedInstallation(const std::string& folder) {
    const std::filesystem::path path = NativePath(folder);
    // Under Program Files a program keeps nothing beside itself, even where
    // it could (an administrator, or an emulation that lets everyone write).
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86}) {
        const std::wstring root = KnownFolder(id);
        if (root.empty()) continue;
        const std::wstring p = path.native();
        if (p.size() >= root.size() && CompareStringOrdinal(p.c_str(), static_cast<int>(root.size()), root.c_str(),
                                                            static_cast<int>(root.size()), TRUE) == CSTR_EQUAL &&
            (p.size() == root.size() || p[root.size()] == L'\\' || p[root.size()] == L'/'))
            return true;
    }
    return !Writable(path);
}

uint32_t ProcessId() { return GetCurrentProcessId(); }

bool ProcessRunning(uint32_t pid) {
    if (pid == 0) return false;
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;  // it exists, as another user's
    DWORD code = 0;
    const bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return running;
}

int RunTool(const std::vector<std::string>& argv, const std::string& logFile, int timeoutSeconds) {
    if (argv.empty()) return -1;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE log = CreateFileW(NativePath(logFile).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return -1;
    std::string line = "$";
    for (const auto& a : argv) line += " " + a;
    line += "\r\n";
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);

    std::wstring commandLine;
    for (const auto& a : argv) {
        if (!commandLine.empty()) commandLine += L' ';
        commandLine += QuotedArgument(NativePath(a).native());
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = log;
    si.hStdError = log;
    PROCESS_INFORMATION pi{};
    // The tool ends with the program: a job that kills what it holds when
    // its last handle closes.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &si, &pi);
    CloseHandle(log);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) {
        if (job) CloseHandle(job);
        return -1;
    }
    if (job) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, timeoutSeconds > 0 ? static_cast<DWORD>(timeoutSeconds) * 1000 : INFINITE) ==
        WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hProcess);
        if (job) CloseHandle(job);
        return kToolTimedOut;
    }
    DWORD code = 0;
    const bool haveCode = GetExitCodeProcess(pi.hProcess, &code) != 0;
    CloseHandle(pi.hProcess);
    if (job) CloseHandle(job);
    return haveCode ? static_cast<int>(code) : -1;
}

}  // namespace zel
