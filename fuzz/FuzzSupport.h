#pragma once
// What the fuzz targets share: a scratch folder of this process, the input
// written to a file there (the readers take file names), and a check that
// stops the run with a message when a property fails.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace zelfuzz {

inline const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("zelfuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
    std::string file = (Scratch() / name).string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file;
}

#define ZELFUZZ_CHECK(cond)                                                              \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

}  // namespace zelfuzz
