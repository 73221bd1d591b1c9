#pragma once
// TSphinx: the program's wrapper around the recognizer control. It gives typed
// access to the control, owns the language-model builder, keeps the paths of
// the language model and the dictionary, forwards the letters-to-phonemes
// conversion to the command editor and writes the recognizer's argument file.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "langmodel/ParserPortugues.h"
#include "recognition/RecognizerControl.h"

namespace zel {

// The recognizer control's folder inside the program's folder; it holds the
// argument-file template.
inline constexpr const char* kRecognizerFolderName = "sphinx/";
inline constexpr const char* kArgFileTemplateName = "sphinx.arg.default";

class TSphinx {
public:
    // Takes the control (the real one or a fake); sets ArgFile "sphinx.arg"
    // and LogFile "sphinx.log" on it, LMFile "languagemodel.lm" and DicFile
    // "dictionary.dic". recognizerFolder: where the control is installed,
    // PastaExe + "sphinx/".
    TSphinx(std::unique_ptr<IRecognizerControl> control, std::string recognizerFolder);
    ~TSphinx();
    TSphinx(const TSphinx&) = delete;
    TSphinx& operator=(const TSphinx&) = delete;

    IRecognizerControl& Control() { return *control_; }
    int32_t InitRecognizer() { return control_->InitRecognizer(); }
    int32_t StartRecognizer() { return control_->StartRecognizer(); }
    int32_t StopRecognizer() { return control_->StopRecognizer(); }

    // The parser's pronunciation of a text, unchanged.
    std::string TextToPhonemes(std::string_view text) const { return TParserPortugues::TextToPhonemes(text); }
    TParserPortugues& Parser() { return *parser_; }

    std::string LMFile;
    std::string DicFile;
    const std::string& RecognizerFolder() const { return recognizerFolder_; }

    // Writes the argument file at path: the template is copied there when
    // there is no file yet; then every line starting with "-lmfn" becomes
    // "-lmfn " + LMFile and every line starting with "-dictfn" becomes
    // "-dictfn " + DicFile; missing ones are appended, "-lmfn" first. Other
    // lines stay as they are. Raises the installation message when the
    // recognizer's folder is missing, "Cannot open file %s" when there is
    // neither argument file nor template, "Cannot create file %s" when the
    // file cannot be written.
    void WriteArgFile(const std::string& path);

private:
    // The parser goes after the control and before the paths: created after
    // the control, destroyed before it.
    std::unique_ptr<IRecognizerControl> control_;
    std::unique_ptr<TParserPortugues> parser_;
    std::string recognizerFolder_;
};

// The message of a missing recognizer folder (Windows-1252).
std::string RecognizerFolderMissingMessage();

}  // namespace zel
