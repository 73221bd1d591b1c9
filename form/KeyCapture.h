#pragma once
// The two boxes that take keys instead of text: the key combination of a key
// command (edtArgTecla) and the activation key (edtTeclaAtivacao). Every key
// down writes its name: in a combination box, while a key is held, each
// further key adds "+" and its name ("CTRL+ALT+T"); in the other, each key
// replaces the text. The toolkit's box feeds it the virtual-key codes.
#include <cstdint>
#include <string>

namespace zel {

class TKeyCapture {
public:
    explicit TKeyCapture(bool combination) : combination_(combination) {}
    // The box's text after the key down (core text).
    std::string KeyDown(uint16_t vk, const std::string& shown);
    // A key up ends the combination.
    void KeyUp() { capturing_ = false; }
    bool Capturing() const { return capturing_; }

private:
    bool combination_;
    bool capturing_ = false;
};

}  // namespace zel
