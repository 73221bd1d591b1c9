#pragma once
// The written form of a counted token. A token normally is one word of a
// sentence, but a whole command phrase with blanks ("abrir navegador") is
// counted as one token too. The recognizer reads words separated by blanks,
// so every token reaches the model, the dictionary and the count file as one
// word without blanks, and comes back as the phrase through WordFromWrittenForm.
//
// The form: a blank becomes "+"; the bytes that the recognizer or the files
// would misread (control characters, "+", "%", "#", "(", ")") become "%" and
// two upper-case hexadecimal digits. Every other byte stays, so an ordinary
// word (any token of a corpus sentence: they hold only bytes from 0x41 up) is
// its own written form. The two functions are exact inverses.
#include <string>
#include <string_view>

namespace zel {

// Does the token need a different written form at all?
bool NeedsWrittenForm(std::string_view token);
std::string WrittenForm(std::string_view token);
// The inverse: "+" gives a blank back and "%XX" the byte XX; a "%" not
// followed by two hexadecimal digits stays as it is.
std::string WordFromWrittenForm(std::string_view written);

}  // namespace zel
