#include "recognition/training/VoiceFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "commands/ZelError.h"
#include "recognition/training/SphinxModelFiles.h"
#include "recognition/training/TakeRecorder.h"
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

TEST_F(VoiceFolder, WhatATrainingLeftCountsWholeOrNot) {
    EXPECT_EQ(AdaptedModelFolder(pasta), "");
    fs::create_directories(dir.Path() / "voz");
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
    EXPECT_EQ(Entries(dir.Path() / "voz"), (std::vector<std::string>{".moro-zel", "mdef", "means"}));
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
    dir.Write("voz.novo-99999/.moro-zel", "");
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

// A small installed model and a voice trained on it: Gaussians of two
// codebooks, the rest copied.
class VoiceDamage : public VoiceFolder {
protected:
    void SetUp() override {
        for (const char* m : {"base", "voz"}) {
            fs::create_directories(dir.Path() / m);
            dir.Write(std::string(m) + "/mdef", "BMDF the definition");
            dir.Write(std::string(m) + "/sendump", "weights");
            for (const char* g : {"means", "variances"}) dir.Write(std::string(m) + "/" + g, Gaussians(2, m[0]));
        }
    }
    static std::string Gaussians(uint32_t codebooks, char value) {
        TGaussians g;
        g.Codebooks = codebooks;
        g.Streams = 1;
        g.Densities = 4;
        g.VecLen = {3};
        g.Values.assign(codebooks * 4 * 3, static_cast<float>(value));
        return GaussiansFile(g);
    }
    std::string Damage() { return VoiceModelDamage(dir.File("voz"), dir.File("base")); }
};

TEST_F(VoiceDamage, AWholeVoiceHasNoneAndEveryDamageIsNamed) {
    EXPECT_EQ(Damage(), "");
    dir.Write("voz/sendump", "weights of another model");
    EXPECT_EQ(Damage(), "sendump n\xE3o \xE9 o do modelo instalado");
    fs::remove(dir.Path() / "voz" / "sendump");
    EXPECT_EQ(Damage(), "falta o arquivo sendump");
    dir.Write("voz/sendump", "weights");
    const std::string means = dir.Read("voz/means");
    dir.Write("voz/means", means.substr(0, means.size() - 8));
    EXPECT_EQ(Damage(), "means est\xE1 incompleto ou alterado");
    std::string flipped = means;
    flipped[flipped.size() - 12] ^= 1;
    dir.Write("voz/means", flipped);
    EXPECT_EQ(Damage(), "means est\xE1 incompleto ou alterado");
    dir.Write("voz/means", Gaussians(3, 'v'));
    EXPECT_EQ(Damage(), "means n\xE3o tem as dimens\xF5" "es do modelo instalado");
    dir.Write("voz/means", means);
    fs::remove(dir.Path() / "voz" / "variances");
    EXPECT_EQ(Damage(), "falta o arquivo variances");
}

// A "voz" of the user's own (not a model the program made) is neither
// replaced by a training nor removed by forgetting.
TEST_F(VoiceFolder, AFolderOfTheUsersOwnIsNeverReplacedNorRemoved) {
    fs::create_directories(dir.Path() / "voz" / "fotos");
    dir.Write("voz/carta.txt", "minha carta");
    dir.Write("voz/fotos/praia.jpg", "jpeg");
    EXPECT_THROW(Build("new", true), TError);
    EXPECT_THROW(ForgetVoiceModel(pasta), TError);
    EXPECT_EQ(dir.Read("voz/carta.txt"), "minha carta");
    EXPECT_EQ(dir.Read("voz/fotos/praia.jpg"), "jpeg");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"voz"}));
    // A model of the user's own files beside it is not a model either.
    Model("voz", "mine");
    EXPECT_THROW(Build("new", true), TError);
    EXPECT_EQ(dir.Read("voz/means"), "means mine");
    // A trained voice of earlier versions (the model's files alone) is the program's.
    fs::remove_all(dir.Path() / "voz");
    Model("voz", "old");
    Build("new", true);
    EXPECT_EQ(dir.Read("voz/means"), "means new");
    EXPECT_TRUE(ForgetVoiceModel(pasta));
}

TEST_F(VoiceFolder, TakesGoOnlyIntoTheProgramsOwnFolder) {
    fs::create_directories(dir.Path() / "gravacoes");
    dir.Write("gravacoes/001.wav", "the user's own recording");
    dir.Write("gravacoes/entrevista.wav", "another");
    EXPECT_THROW(TTakeFolder(pasta + "gravacoes/", {"uma frase"}), TError);
    EXPECT_EQ(dir.Read("gravacoes/001.wav"), "the user's own recording");
    // A folder of takes of earlier versions, or a new one, is the program's.
    fs::remove(dir.Path() / "gravacoes" / "entrevista.wav");
    TTakeFolder takes(pasta + "gravacoes/", {"uma frase"});
    takes.Keep(0, std::vector<int16_t>(1600, 100), 16000);
    EXPECT_EQ(dir.Read("gravacoes/lista.tsv"), "000.wav\tuma frase\r\n");
    TTakeFolder again(pasta + "novas/", {"uma frase"});
    EXPECT_TRUE(fs::exists(dir.Path() / "novas" / ".moro-zel"));
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

TEST_F(VoiceFolder, ALinkToTheUsersFilesLeavesThemAlone) {
    zeltest::TTempDir elsewhere;
    fs::create_directories(elsewhere.Path() / "documentos");
    elsewhere.Write("documentos/tese.odt", "four years");
    fs::create_symlink(elsewhere.Path() / "documentos", dir.Path() / "voz");
    EXPECT_THROW(Build("linked", true), TError);
    EXPECT_EQ(elsewhere.Read("documentos/tese.odt"), "four years");
    EXPECT_EQ(Entries(elsewhere.Path()), (std::vector<std::string>{"documentos"}));
    // Forgetting removes the link, never what it points to.
    EXPECT_TRUE(ForgetVoiceModel(pasta));
    EXPECT_EQ(elsewhere.Read("documentos/tese.odt"), "four years");
}
#endif

}  // namespace
}  // namespace zel
