#pragma once
// Durable writes on this system: the atomic file writer of the core calls
// this (through SetFileSync) before and after it renames a file into place.
#include <filesystem>

namespace zel {

// fsync of a file or a folder; false with errno set when it fails.
bool SyncPath(const std::filesystem::path& path);
// Hands SyncPath to the core's file writer.
void InstallFileSync();

}  // namespace zel
