// The user's own folder of an installation for every user: the example
// profiles copied once and then the user's, the shipped data files kept up
// to date unless the user changed them.
#include "platform/RuntimeFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemFiles.h"
#include "platform/SystemProcess.h"
#include "tests/support/TempDir.h"

namespace zel {
namespace {

class RuntimeFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path() / "inst" / "profiles");
        dir.Write("inst/profiles/desktop.zpr", "[geral]\r\nnumcomandos=0\r\n");
        dir.Write("inst/modnum.ini", "numeros 1");
        dir.Write("inst/beep.wav", "RIFF 1");
        dir.Write("inst/profiles/notas.txt", "not a profile");
    }
    std::string Installation() const { return dir.File("inst/"); }
    std::string Runtime() const { return dir.File("user/"); }
    bool Exists(std::string_view name) const { return std::filesystem::exists(dir.Path() / name); }

    zeltest::TTempDir dir;
};

TEST_F(RuntimeFolderTest, FirstRunCopiesProfilesAndDataFiles) {
    PrepareRuntimeFolder(Installation(), Runtime());
    EXPECT_EQ(dir.Read("user/profiles/desktop.zpr"), "[geral]\r\nnumcomandos=0\r\n");
    EXPECT_EQ(dir.Read("user/modnum.ini"), "numeros 1");
    EXPECT_EQ(dir.Read("user/beep.wav"), "RIFF 1");
    // Only profiles, and no file the installation lacks.
    EXPECT_FALSE(Exists("user/profiles/notas.txt"));
    EXPECT_FALSE(Exists("user/phoneset.txt"));
}

TEST_F(RuntimeFolderTest, UsersProfilesAreNeverReplaced) {
    PrepareRuntimeFolder(Installation(), Runtime());
    dir.Write("user/profiles/desktop.zpr", "meus comandos");
    dir.Write("inst/profiles/desktop.zpr", "nova versão");
    dir.Write("inst/profiles/jogos.zpr", "novo perfil");
    PrepareRuntimeFolder(Installation(), Runtime());
    EXPECT_EQ(dir.Read("user/profiles/desktop.zpr"), "meus comandos");
    EXPECT_EQ(dir.Read("user/profiles/jogos.zpr"), "novo perfil");
}

TEST_F(RuntimeFolderTest, NewInstallationUpdatesOnlyUntouchedDataFiles) {
    PrepareRuntimeFolder(Installation(), Runtime());
    dir.Write("user/modnum.ini", "meus números");
    dir.Write("inst/modnum.ini", "numeros 2");
    dir.Write("inst/beep.wav", "RIFF 2");
    PrepareRuntimeFolder(Installation(), Runtime());
    EXPECT_EQ(dir.Read("user/modnum.ini"), "meus números");
    EXPECT_EQ(dir.Read("user/beep.wav"), "RIFF 2");
    // A user's copy stays the user's through later versions too.
    dir.Write("inst/modnum.ini", "numeros 3");
    PrepareRuntimeFolder(Installation(), Runtime());
    EXPECT_EQ(dir.Read("user/modnum.ini"), "meus números");
    // A data file the user deleted comes back.
    std::filesystem::remove(dir.Path() / "user" / "beep.wav");
    PrepareRuntimeFolder(Installation(), Runtime());
    EXPECT_EQ(dir.Read("user/beep.wav"), "RIFF 2");
}

TEST_F(RuntimeFolderTest, WritableFolderOutsideProgramFilesIsNotShared) {
    EXPECT_FALSE(SharedInstallation(Installation()));
    const std::string user = UserDataFolder();
    ASSERT_FALSE(user.empty());
    EXPECT_TRUE(EndsInFolderSeparator(user));
}

// One run at a time in a folder: a second lock is refused by name while the
// first lives, and taken once it is gone.
TEST(FolderLock, ASecondRunIsRefusedUntilTheFirstEnds) {
    zeltest::TTempDir dir;
    const std::string folder = dir.File("");
    {
        TFolderLock first(folder);
        try {
            TFolderLock second(folder);
            ADD_FAILURE() << "a second lock was taken";
        } catch (const TError& e) {
            EXPECT_EQ(std::string(e.what()), "Outra execu\xE7\xE3o do programa usa a pasta " + folder);
        }
        // Another folder is another lock.
        std::filesystem::create_directories(dir.Path() / "outra");
        TFolderLock other(dir.File("outra/"));
    }
    TFolderLock again(folder);
    EXPECT_THROW(TFolderLock(dir.File("falta/")), TError);
}

}  // namespace
}  // namespace zel
