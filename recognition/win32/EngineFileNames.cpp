// The recognizer's C library opens its files by 8-bit names, which Windows
// would read in the ANSI code page, losing every name it cannot write (a
// user folder "C:\Users\Łukasz"). The link wraps the library's fopen, stat and
// unlink (ld --wrap): here the names are UTF-8, as everywhere in the
// program, and reach Windows as UTF-16. A name that is not UTF-8 goes to the
// original function as it is.
#include <windows.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace {

bool Utf8ToWide(const char* utf8, std::wstring& out) {
    if (!utf8) return false;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return false;
    out.assign(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out.data(), n);
    out.pop_back();  // the terminating zero
    return true;
}

}  // namespace

extern "C" {

FILE* __real_fopen(const char* name, const char* mode);
int __real_stat(const char* name, struct stat* st);
int __real_unlink(const char* name);

FILE* __wrap_fopen(const char* name, const char* mode) {
    std::wstring wideName, wideMode;
    if (!Utf8ToWide(name, wideName) || !Utf8ToWide(mode, wideMode)) return __real_fopen(name, mode);
    return _wfopen(wideName.c_str(), wideMode.c_str());
}

int __wrap_stat(const char* name, struct stat* st) {
    std::wstring wide;
    if (!Utf8ToWide(name, wide)) return __real_stat(name, st);
    return wstat(wide.c_str(), st);
}

int __wrap_unlink(const char* name) {
    std::wstring wide;
    if (!Utf8ToWide(name, wide)) return __real_unlink(name);
    return _wunlink(wide.c_str());
}

}  // extern "C"
