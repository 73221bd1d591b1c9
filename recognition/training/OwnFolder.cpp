#include "recognition/training/OwnFolder.h"

#include <system_error>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

namespace fs = std::filesystem;

void MarkOwnFolder(const fs::path& folder) {
    WriteFileAtomic(CoreFileName(folder / kOwnFolderMarker),
                    Utf8ToCp1252("Pasta criada pelo MORO Zel: o programa pode substituí-la ou apagá-la.\r\n"));
}

bool IsOwnFolder(const fs::path& folder, bool (*legacyName)(const std::string& name)) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(folder, ec);
    if (!fs::exists(st)) return true;
    if (!fs::is_directory(st)) return false;
    if (fs::is_regular_file(fs::symlink_status(folder / kOwnFolderMarker, ec))) return true;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!fs::is_regular_file(entry.symlink_status(ec))) return false;
        if (!legacyName(CoreFileName(entry.path().filename()))) return false;
    }
    return !ec;
}

void RaiseNotOwnFolder(const std::string& folder) {
    throw TError(Utf8ToCp1252("A pasta ") + FileNameForDisplay(folder) +
                 Utf8ToCp1252(" não foi criada pelo treino de voz e não será apagada nem substituída. "
                              "Renomeie-a ou mova-a e tente de novo."));
}

}  // namespace zel
