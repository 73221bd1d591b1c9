// The converter against the trainer's own tool: the installed model's weights,
// written by us for bw and quantized back by mk_s2sendump, give the installed
// file byte for byte.
#include <gtest/gtest.h>

#include "commands/TextFile.h"
#include "platform/SystemProcess.h"
#include "recognition/training/MixtureWeights.h"
#include "tests/support/TempDir.h"

namespace {

TEST(MixtureWeightsRoundTrip, TheTrainersToolMakesTheInstalledSendumpAgain) {
    const std::string model = ZEL_SPHINX_MODEL "/";
    const std::string installed = zel::ReadFileBytes(model + "sendump");
    zeltest::TTempDir dir;
    const zel::TMixtureWeights w = zel::ReadSendump(installed, model + "sendump");
    EXPECT_EQ(w.Features, 3u);
    EXPECT_EQ(w.Densities, 128u);
    zel::WriteFileAtomic(dir.File("mixture_weights"), zel::MixtureWeightsFile(w));
    const std::string log = dir.File("log");
    ASSERT_EQ(zel::RunTool({"pocketsphinx_mdef_convert", "-text", model + "mdef", dir.File("mdef.txt")}, log), 0);
    // No floor: the smallest weights must come back as they were.
    ASSERT_EQ(zel::RunTool({"/usr/lib/sphinxtrain/mk_s2sendump", "-pocketsphinx", "yes", "-mwfloor", "1e-30",
                            "-moddeffn", dir.File("mdef.txt"), "-mixwfn", dir.File("mixture_weights"), "-sendumpfn",
                            dir.File("sendump")},
                           log),
              0)
        << zel::ReadFileBytes(log);
    const std::string again = zel::ReadFileBytes(dir.File("sendump"));
    ASSERT_EQ(again.size(), installed.size());
    EXPECT_TRUE(again == installed);
}

}  // namespace
