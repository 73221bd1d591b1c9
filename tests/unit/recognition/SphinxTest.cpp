#include "recognition/Sphinx.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"
#include "recognition/FakeRecognizer.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

class SphinxArgFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path() / "sphinx");
        auto control = std::make_unique<TFakeRecognizerControl>();
        fake = control.get();
        sphinx = std::make_unique<TSphinx>(std::move(control), dir.File("sphinx/"));
        sphinx->LMFile = "/pasta do zel/languagemodel.lm";
        sphinx->DicFile = "/pasta do zel/dictionary.dic";
    }
    void Template(const std::string& bytes) { dir.Write("sphinx/sphinx.arg.default", bytes); }
    std::string ArgFile() { return dir.File("sphinx.arg"); }

    zeltest::TTempDir dir;
    TFakeRecognizerControl* fake = nullptr;
    std::unique_ptr<TSphinx> sphinx;
};

TEST_F(SphinxArgFile, TheConstructorSetsTheFourNames) {
    EXPECT_EQ(fake->ArgFile, u"sphinx.arg");
    EXPECT_EQ(fake->LogFile, u"sphinx.log");
    TSphinx fresh(std::make_unique<TFakeRecognizerControl>(), "x/");
    EXPECT_EQ(fresh.LMFile, "languagemodel.lm");
    EXPECT_EQ(fresh.DicFile, "dictionary.dic");
}

TEST_F(SphinxArgFile, FirstRunCopiesTheTemplateAndRewritesItsOwnedLines) {
    Template("-hmm /modelo\r\n-lmfn velho.lm\r\n-samprate 16000\n-dictfn velho.dic\r\n");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              "-hmm /modelo\r\n-lmfn /pasta do zel/languagemodel.lm\r\n-samprate 16000\r\n"
              "-dictfn /pasta do zel/dictionary.dic\r\n");
}

TEST_F(SphinxArgFile, MissingOwnedLinesAreAppendedLmFirst) {
    Template("-hmm /modelo\r\n");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              "-hmm /modelo\r\n-lmfn /pasta do zel/languagemodel.lm\r\n-dictfn /pasta do zel/dictionary.dic\r\n");
}

TEST_F(SphinxArgFile, AnExistingArgumentFileIsKeptOnlyItsOwnedLinesChange) {
    Template("-hmm /modelo\r\n");
    dir.Write("sphinx.arg", "-beam 1e-60\r\n-dictfn a.dic\r\n-lmfn a.lm\r\n# minha nota\r\n");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              "-beam 1e-60\r\n-dictfn /pasta do zel/dictionary.dic\r\n-lmfn /pasta do zel/languagemodel.lm\r\n"
              "# minha nota\r\n");
}

TEST_F(SphinxArgFile, EveryMatchingLineIsRewrittenLongerOptionsIncluded) {
    dir.Write("sphinx.arg", "-lmfn a\r\n-lmfnx b\r\n-lmfn\r\n");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              "-lmfn /pasta do zel/languagemodel.lm\r\n-lmfn /pasta do zel/languagemodel.lm\r\n"
              "-lmfn /pasta do zel/languagemodel.lm\r\n-dictfn /pasta do zel/dictionary.dic\r\n");
}

TEST_F(SphinxArgFile, AnEmptyArgumentFileGetsExactlyTheTwoLines) {
    Template("-hmm /outro\r\n");
    dir.Write("sphinx.arg", "");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              "-lmfn /pasta do zel/languagemodel.lm\r\n-dictfn /pasta do zel/dictionary.dic\r\n");
}

TEST_F(SphinxArgFile, ALineWithABlankBeforeTheOptionDoesNotMatch) {
    dir.Write("sphinx.arg", " -lmfn a.lm\r\n");
    sphinx->WriteArgFile(ArgFile());
    EXPECT_EQ(dir.Read("sphinx.arg"),
              " -lmfn a.lm\r\n-lmfn /pasta do zel/languagemodel.lm\r\n-dictfn /pasta do zel/dictionary.dic\r\n");
}

TEST_F(SphinxArgFile, AMissingRecognizerFolderGivesTheInstallationMessageAndWritesNothing) {
    TSphinx lost(std::make_unique<TFakeRecognizerControl>(), dir.File("naoexiste/"));
    try {
        lost.WriteArgFile(ArgFile());
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(Cp1252ToUtf8(e.what()),
                  "Diretório do Sphinx não encontrado (possivelmente devido à má instalação). Reinstale o pacote "
                  "completo.");
    }
    EXPECT_FALSE(std::filesystem::exists(ArgFile()));
}

TEST_F(SphinxArgFile, NoTemplateAndNoArgumentFileCannotOpen) {
    try {
        sphinx->WriteArgFile(ArgFile());
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + ArgFile());
    }
    EXPECT_FALSE(std::filesystem::exists(ArgFile()));
}

TEST_F(SphinxArgFile, AnArgumentFileThatCannotBeWrittenCannotCreate) {
    // Readable, but nothing can be written beside it, not even by root.
    const std::string target = "/proc/version";
    try {
        sphinx->WriteArgFile(target);
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + target);
    }
}

TEST_F(SphinxArgFile, TextToPhonemesIsTheBuildersOwn) {
    EXPECT_EQ(sphinx->TextToPhonemes("casa"), TParserPortugues::TextToPhonemes("casa"));
    EXPECT_FALSE(sphinx->TextToPhonemes("casa").empty());
}

}  // namespace
}  // namespace zel
