#include "recognition/training/VoiceFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/TempDir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

class VoiceFolder : public ::testing::Test {
protected:
    // A model folder of two files, told apart by their contents.
    void Model(const std::string& folder, const std::string& mark) {
        fs::create_directories(dir.Path() / folder);
        dir.Write(folder + "/mdef", "mdef " + mark);
        dir.Write(folder + "/means", "means " + mark);
    }
    // Everything in the program's folder, names only.
    std::vector<std::string> Entries(const fs::path& folder) {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    void Build(const std::string& mark, bool commit) {
        TVoiceModelBuild build(pasta);
        std::ofstream(build.ModelFolder() + "mdef") << "mdef " << mark;
        std::ofstream(build.ModelFolder() + "means") << "means " << mark;
        std::ofstream(build.WorkFolder() + "counts") << "scratch";
        if (commit) build.Commit();
    }

    zeltest::TTempDir dir;
    std::string pasta = dir.File("");
};

TEST_F(VoiceFolder, OnlyACompleteModelCounts) {
    EXPECT_EQ(AdaptedModelFolder(pasta), "");
    fs::create_directories(dir.Path() / "voz");
    dir.Write("voz/mdef", "m");
    EXPECT_EQ(AdaptedModelFolder(pasta), "");
    dir.Write("voz/means", "m");
    EXPECT_EQ(AdaptedModelFolder(pasta), pasta + "voz");
}

TEST_F(VoiceFolder, ACommittedBuildReplacesTheModelAndLeavesNothingElse) {
    dir.Write("config.ini", "[geral]\r\n");
    Build("first", true);
    EXPECT_EQ(dir.Read("voz/means"), "means first");
    Model("voz", "old");
    Build("second", true);
    EXPECT_EQ(dir.Read("voz/mdef"), "mdef second");
    EXPECT_EQ(dir.Read("voz/means"), "means second");
    EXPECT_EQ(Entries(dir.Path() / "voz"), (std::vector<std::string>{"mdef", "means"}));
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"config.ini", "voz"}));
}

TEST_F(VoiceFolder, ABuildThatStopsBeforeItsCommitLeavesTheOldModelWhole) {
    Model("voz", "old");
    Build("new", false);  // a failed step: the build goes out of scope
    EXPECT_EQ(dir.Read("voz/means"), "means old");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"voz"}));
    // Killed outright: its temporary folder stays until the next training,
    // and is never taken for the model.
    fs::create_directories(dir.Path() / "voz.novo-99999/modelo");
    dir.Write("voz.novo-99999/modelo/means", "half");
    EXPECT_EQ(AdaptedModelFolder(pasta), pasta + "voz");
    EXPECT_EQ(dir.Read("voz/means"), "means old");
    Build("next", true);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"voz"}));
    EXPECT_EQ(dir.Read("voz/means"), "means next");
}

TEST_F(VoiceFolder, AReplacementStoppedBetweenItsRenamesIsFinishedOrUndone) {
    // The old model was moved aside, the new one never arrived: it comes back.
    Model("voz.velho", "old");
    EXPECT_EQ(AdaptedModelFolder(pasta), pasta + "voz");
    EXPECT_EQ(dir.Read("voz/means"), "means old");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"voz"}));
    // The new one arrived, the old one was not removed yet: it goes.
    Model("voz.velho", "older");
    EXPECT_EQ(AdaptedModelFolder(pasta), pasta + "voz");
    EXPECT_EQ(dir.Read("voz/means"), "means old");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"voz"}));
}

TEST_F(VoiceFolder, ForgettingRemovesTheModelOnce) {
    Model("voz", "old");
    EXPECT_TRUE(ForgetVoiceModel(pasta));
    EXPECT_FALSE(fs::exists(dir.Path() / "voz"));
    EXPECT_EQ(AdaptedModelFolder(pasta), "");
    EXPECT_FALSE(ForgetVoiceModel(pasta));
}

#ifndef _WIN32  // Wine makes no symbolic links
TEST_F(VoiceFolder, ThroughALinkTheModelGoesWhereItPointsAndForgettingKeepsIt) {
    zeltest::TTempDir elsewhere;
    fs::create_directories(elsewhere.Path() / "minha-voz");
    fs::create_symlink(elsewhere.Path() / "minha-voz", dir.Path() / "voz");
    Build("linked", true);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "voz"));
    EXPECT_EQ(elsewhere.Read("minha-voz/means"), "means linked");
    EXPECT_EQ(AdaptedModelFolder(pasta), pasta + "voz");
    EXPECT_TRUE(ForgetVoiceModel(pasta));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() / "voz")));
    EXPECT_EQ(elsewhere.Read("minha-voz/means"), "means linked");
}
#endif

}  // namespace
}  // namespace zel
