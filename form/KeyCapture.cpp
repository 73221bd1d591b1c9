#include "form/KeyCapture.h"

#include "commands/KeyNames.h"

namespace zel {

std::string TKeyCapture::KeyDown(uint16_t vk, const std::string& shown) {
    const std::string name = KeyCodeToName(vk);
    if (!combination_) return name;
    if (!capturing_) {
        capturing_ = true;
        return name;
    }
    return shown + "+" + name;
}

}  // namespace zel
