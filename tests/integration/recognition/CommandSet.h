#pragma once
// A command profile turned into the recognizer's files exactly as switching
// recognition on does it (GenerateRecognizerFiles over the real template),
// for the recognition tests and benchmarks.
#include <string>
#include <vector>

#include "commands/Comandos.h"

namespace zeltest {

// What the switch-on hands the control besides the files.
struct TVocabulary {
    std::vector<std::string> NumberWords, CommandPhrases;  // core text
    std::string AcousticModel;  // the adapted voice's folder, or empty
};

struct TCommandSet {
    std::string Folder;                 // the program's folder stand-in, ending in "/"
    std::string ArgFile;                // Folder + "sphinx.arg"
    std::vector<std::string> Phrases;   // what is spoken (UTF-8): commands, numbers, sentences
    std::vector<std::string> Expected;  // the sentence that must come back for each (UTF-8)
    TVocabulary Vocabulary;
};

// Commands typical of a desktop profile, some of several words.
std::vector<std::string> DefaultCommandPhrases();
// The number words of the numeric-modifier table (um … dez).
std::vector<std::string> NumberWords();
// Sentences of ordinary speech that hold no command.
std::vector<std::string> NonCommandSentences();

// Writes modnum.ini (when numbers) and the recognizer's folder with the
// program's template into folder, and generates the files from the commands
// (pronunciations by the letter rules) and the dictation lines. Phrases holds
// the commands, the number words and a few "number command" sentences.
TCommandSet MakeCommandSet(const std::string& folder, const std::vector<std::string>& commands, bool numbers,
                           const std::vector<std::string>& ditadoUtf8);

// Does a recognizer result (UTF-8, written forms) say the expected sentence?
// Case is ignored, accents count.
bool SameWords(const std::string& resultUtf8, const std::string& expectedUtf8);

// A command pressing Enter, with the letter rules' pronunciation.
zel::TComando SpokenCommand(const std::string& utf8Phrase);

// The template installed beside the program by the build.
std::string TemplateArgFile();

}  // namespace zeltest
