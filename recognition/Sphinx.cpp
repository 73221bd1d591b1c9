#include "recognition/Sphinx.h"

#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

std::string RecognizerFolderMissingMessage() {
    return Utf8ToCp1252(
        "Diretório do Sphinx não encontrado (possivelmente devido à má instalação). Reinstale o pacote completo.");
}

TSphinx::TSphinx(std::unique_ptr<IRecognizerControl> control, std::string recognizerFolder)
    : control_(std::move(control)),
      parser_(std::make_unique<TParserPortugues>()),
      recognizerFolder_(std::move(recognizerFolder)) {
    control_->ArgFile = u"sphinx.arg";
    control_->LogFile = u"sphinx.log";
    LMFile = "languagemodel.lm";
    DicFile = "dictionary.dic";
    control_->InstallFolder = Cp1252ToUtf16(recognizerFolder_);
}

TSphinx::~TSphinx() {
    parser_.reset();
    control_.reset();
}

void TSphinx::WriteArgFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // The control's folder stands where the installation's record of the
    // control stood: without it, the installation is broken.
    if (recognizerFolder_.empty() || !fs::is_directory(NativePath(recognizerFolder_), ec))
        throw TError(RecognizerFolderMissingMessage());
    std::string folder = recognizerFolder_;
    if (folder.back() != '/' && folder.back() != '\\') folder += '/';

    // The template only makes a first argument file; a user's file is never
    // replaced. A failed copy is not an error by itself: reading tells.
    if (!fs::exists(NativePath(path), ec)) fs::copy_file(NativePath(folder + kArgFileTemplateName), NativePath(path), ec);

    std::vector<std::string> lines = ReadLines(path);
    const std::string lm = "-lmfn " + LMFile;
    const std::string dic = "-dictfn " + DicFile;
    bool haveLm = false, haveDic = false;
    for (std::string& line : lines) {
        if (line.rfind("-lmfn", 0) == 0) {
            line = lm;
            haveLm = true;
        }
        if (line.rfind("-dictfn", 0) == 0) {
            line = dic;
            haveDic = true;
        }
    }
    if (!haveLm) lines.push_back(lm);
    if (!haveDic) lines.push_back(dic);
    WriteLines(path, lines);
}

}  // namespace zel
