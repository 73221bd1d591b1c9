#pragma once
// Folders the program makes and may later replace, empty or remove (the
// trained voice, the recorded takes): a marker file inside says they are
// the program's. A folder of the user's own that happens to have such a
// name is never touched.
#include <filesystem>
#include <string>

namespace zel {

inline constexpr const char* kOwnFolderMarker = ".moro-zel";

// Writes the marker into folder (which exists).
void MarkOwnFolder(const std::filesystem::path& folder);

// Whether folder may be replaced or removed: it does not exist, is an empty
// folder, holds the marker, or (made before the marker existed) holds only
// regular files whose names legacyName accepts. Never a symbolic link.
bool IsOwnFolder(const std::filesystem::path& folder, bool (*legacyName)(const std::string& name));

// Raises the message that folder is not the program's and stays as it is.
[[noreturn]] void RaiseNotOwnFolder(const std::string& folder);

}  // namespace zel
