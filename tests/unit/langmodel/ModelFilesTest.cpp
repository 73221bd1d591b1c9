// The generated files, byte for byte.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "langmodel/ParserPortugues.h"
#include "tests/support/TempDir.h"

namespace {

using zel::TParserPortugues;
using zeltest::TTempDir;

const std::string kHeader = "Modelo de linguagem criado pelo ParserPortugu\xEAs\r\nCriado com base no script QuickLM\r\n\r\n";

TEST(ModelFiles, WorkedExampleOfOneWord) {
    TTempDir dir;
    TParserPortugues parser;
    parser.ResetCounts();
    parser.AddSentence("casa");
    parser.GenerateModelFiles(dir.Path().string());

    EXPECT_EQ(dir.Read("languagemodel.lm"), kHeader +
                                                "\\data\\\r\n"
                                                "ngram 1=3\r\n"
                                                "ngram 2=3\r\n"
                                                "ngram 3=1\r\n"
                                                "\r\n"
                                                "\\1-grams:\r\n"
                                                "-0.6990 </s> -0.3010\r\n"
                                                "-0.6990 <s> -0.1461\r\n"
                                                "-1.0000 CASA -0.2041\r\n"
                                                "\r\n"
                                                "\\2-grams:\r\n"
                                                "-0.6021 <s> </s> -0.3010\r\n"
                                                "-0.6021 <s> CASA 0.0000\r\n"
                                                "-0.3010 CASA </s> -0.3010\r\n"
                                                "\r\n"
                                                "\\3-grams:\r\n"
                                                "-0.3010 <s> CASA </s>\r\n"
                                                "\r\n"
                                                "\\end\\\r\n");
    const std::string counts =
        "### UNI ###\r\n2\t</s>\r\n2\t<s>\r\n1\tCASA\r\n\r\n"
        "### BI ###\r\n1\t<s> </s>\r\n1\t<s> CASA\r\n1\tCASA </s>\r\n\r\n"
        "### TRI ###\r\n1\t<s> CASA </s>\r\n### ENDUBT ###\r\n";
    EXPECT_EQ(dir.Read("tokens.ubt"), counts);
    EXPECT_EQ(dir.Read("dictionary.dic"), "CASA\tK AA Z AA\r\n");
    EXPECT_EQ(dir.Read("zellm.zlm"), counts + "### DIC ###\r\nCASA\tK AA Z AA\r\n### ENDDIC ###\r\n");
    EXPECT_EQ(parser.Folder(), dir.Path().string() + "/");
}

}  // namespace
