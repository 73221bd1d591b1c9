#include "commands/ZelError.h"

#include "commands/TextFile.h"

namespace zel {

std::string FormatMessage(std::string_view pattern, std::string_view value) {
    std::string out(pattern);
    auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, value);
    return out;
}

void RaiseCannotOpen(std::string_view fileName, const std::string& reason) {
    throw TError(FormatMessage("Cannot open file %s", FileNameForDisplay(fileName)), reason);
}
void RaiseCannotCreate(std::string_view fileName, const std::string& reason) {
    throw TError(FormatMessage("Cannot create file %s", FileNameForDisplay(fileName)), reason);
}
void RaiseUnableToWrite(std::string_view fileName, const std::string& reason) {
    throw TError(FormatMessage("Unable to write to %s", FileNameForDisplay(fileName)), reason);
}
void RaiseInvalidInteger(std::string_view text) {
    throw TError(FormatMessage("'%s' is not a valid integer value", text));
}

}  // namespace zel
