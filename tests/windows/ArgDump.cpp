// zel_arg_dump OUT.txt ARGS...: a program to be started, for the tests.
// Writes to OUT.txt (UTF-8) the folder it was started in, then each of the
// other arguments, one a line, as Windows handed them over.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring text = std::wstring(L"cwd=") + folder + L"\n";
    for (int i = 2; i < argc; ++i) text += std::wstring(L"arg=") + argv[i] + L"\n";
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    const std::wstring temp = std::wstring(argv[1]) + L".tmp";
    if (FILE* f = _wfopen(temp.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        MoveFileExW(temp.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING);
    }
    return 0;
}
