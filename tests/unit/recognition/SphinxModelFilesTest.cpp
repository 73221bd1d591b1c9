// The acoustic model's files as the trainer reads and writes them, against
// the installed US-English model: what it writes back holds the same words
// after its header, checksum included, so the recognizer loads an adapted
// model as it loads the installed one.
#include "recognition/training/SphinxModelFiles.h"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {
namespace {

#ifdef _WIN32
const std::string kModel = "Z:/usr/share/pocketsphinx/model/en-us/en-us/";
#else
const std::string kModel = "/usr/share/pocketsphinx/model/en-us/en-us/";
#endif

// The bytes from the byte-order mark on (the header's blanks may differ).
std::string Body(const std::string& file) { return file.substr(file.find("endhdr\n") + 7); }

TEST(Gaussians, InstalledMeansAndVariancesWrittenBackWordForWord) {
    for (const char* name : {"means", "variances"}) {
        const std::string bytes = ReadFileBytes(kModel + name);
        const TGaussians g = ReadGaussians(bytes, name);
        // Phonetically tied mixtures: a codebook a base phone, three streams of 13.
        EXPECT_EQ(g.Codebooks, 42u);
        EXPECT_EQ(g.VecLen, (std::vector<uint32_t>{13, 13, 13}));
        EXPECT_EQ(g.Values.size(), size_t(g.Codebooks) * g.Densities * 39);
        const std::string written = GaussiansFile(g);
        EXPECT_TRUE(Body(written) == Body(bytes)) << name;
        EXPECT_EQ(written.find("endhdr\n") % 4, 1u) << "the values start on a 4-byte boundary";
    }
}

TEST(Gaussians, ChangedValueChangesTheChecksum) {
    TGaussians g = ReadGaussians(ReadFileBytes(kModel + "means"), "means");
    const std::string before = GaussiansFile(g);
    g.Values[g.Offset(1, 0, 2) + 3] += 0.5f;
    const std::string after = GaussiansFile(g);
    ASSERT_EQ(before.size(), after.size());
    // The value and the last word, the checksum, differ; nothing else.
    size_t differing = 0;
    for (size_t i = 0; i + 4 <= before.size(); i += 4) differing += before.compare(i, 4, after, i, 4) != 0;
    EXPECT_EQ(differing, 2u);
    EXPECT_NE(before.compare(before.size() - 4, 4, after, after.size() - 4, 4), 0);
    EXPECT_EQ(ReadGaussians(after, "x").Values[g.Offset(1, 0, 2) + 3], g.Values[g.Offset(1, 0, 2) + 3]);
}

TEST(Gaussians, DamagedFilesRaiseTheirName) {
    const std::string bytes = ReadFileBytes(kModel + "means");
    for (const std::string& bad : {std::string("s3\nversion 1.0\n"), bytes.substr(0, bytes.size() / 2),
                                   std::string("s3\nendhdr\n\x01\x02\x03\x04", 14)}) {
        try {
            ReadGaussians(bad, "voz/means");
            ADD_FAILURE() << "accepted " << bad.size() << " bytes";
        } catch (const TError& e) {
            EXPECT_NE(std::string(e.what()).find("voz/means"), std::string::npos) << e.what();
        }
    }
}

TEST(Transitions, InstalledMatricesAreProbabilitiesLeftToRight) {
    const TTransitions t = ReadTransitions(ReadFileBytes(kModel + "transition_matrices"), "transition_matrices");
    ASSERT_GT(t.Matrices, 40u);
    EXPECT_EQ(t.Rows, 3u);
    EXPECT_EQ(t.Columns, 4u);
    for (uint32_t m = 0; m < t.Matrices; ++m)
        for (uint32_t from = 0; from < t.Rows; ++from) {
            double sum = 0;
            for (uint32_t to = 0; to < t.Columns; ++to) {
                sum += t.At(m, from, to);
                if (to < from) {
                    EXPECT_EQ(t.At(m, from, to), 0.0f);
                }
            }
            EXPECT_NEAR(sum, 1.0, 1e-3) << "matrix " << m << " row " << from;
        }
}

TEST(ModelDefinition, PhonesFoundByContextAndSenonesByBase) {
    const std::string text =
        "0.3\n2 n_base\n2 n_tri\n16 n_state_map\n8 n_tied_state\n6 n_tied_ci_state\n2 n_tied_tmat\n"
        "#\n# base lft rt p attrib tmat ... state id's ...\n"
        "AA - - - n/a 0 0 1 2 N\n"
        "SIL - - - filler 1 3 4 5 N\n"
        "AA SIL SIL s n/a 0 6 1 7 N\n"
        "AA AA SIL e n/a 0 0 6 7 N\n";
    const TModelDefinition m = ReadTextModelDefinition(text, "mdef.txt");
    EXPECT_EQ(m.Bases, 2u);
    EXPECT_EQ(m.Senones, 8u);
    EXPECT_EQ(m.Base("SIL"), 1);
    EXPECT_EQ(m.Find("AA", "SIL", "SIL", 's'), 2);
    EXPECT_EQ(m.Find("AA", "AA", "SIL", 'e'), 3);
    EXPECT_EQ(m.Find("AA", "AA", "SIL", 'b'), -1);
    EXPECT_EQ(m.Phones[3].Senones, (std::vector<uint32_t>{0, 6, 7}));
    EXPECT_EQ(m.SenoneBase, (std::vector<uint32_t>{0, 0, 0, 1, 1, 1, 0, 0}));
    EXPECT_THROW(ReadTextModelDefinition("0.3\n2 n_base\nAA - - - n/a 0 0 1 9 N\n8 n_tied_state\n", "m"), TError);
    EXPECT_THROW(ReadTextModelDefinition("0.2\n", "m"), TError);
}

}  // namespace
}  // namespace zel
