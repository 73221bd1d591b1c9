// config.ini: read at start-up into the preferences page, written back when
// the window is destroyed.
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QSlider>

#include <filesystem>

#include "commands/Cp1252.h"
#include "tests/unit/app/AppFixture.h"

using zeltest::AppFixture;

namespace {
const char* const kWrittenDefaults =
    "[geral]\r\n"
    "tempotecla=10\r\n"
    "tempoativacao=5\r\n"
    "sampling=2\r\n"
    "confianca=50\r\n"
    "somativacao=%sbeep.wav\r\n"
    "teclaativacao=\r\n"
    "ativatoggle=0\r\n"
    "mostrarindicador=1\r\n"
    "multicmd=1\r\n"
    "modnum=1\r\n"
    "modoadv=1\r\n"
    "microfone=\r\n"
    "historico=1\r\n"
    "aprenderuso=1\r\n";
}

using Settings = AppFixture;

TEST_F(Settings, MissingFileGivesTheDefaultsAndIsCreatedAtExitInWriteOrder) {
    auto& f = Create();
    EXPECT_EQ(f.edtTempoTeclas->text(), "10");
    EXPECT_EQ(f.edtTempoAtivo->text(), "5");
    EXPECT_EQ(f.LblConfianca->text(), QString::fromUtf8("Confiança: 50%"));
    EXPECT_EQ(f.lblSampling->text(), "Sampling: 22050Hz");
    EXPECT_EQ(services.ConfThresh, 50);
    EXPECT_EQ(services.SampleRate, 22050);
    EXPECT_EQ(f.edtSomAtivacao->text().toStdString(), pasta + "beep.wav");
    EXPECT_EQ(f.edtTeclaAtivacao->text(), "");
    EXPECT_FALSE(f.chbAtivaToggle->isChecked());
    EXPECT_TRUE(f.chbMostrarIndicador->isChecked());
    EXPECT_TRUE(f.chbMultiCmd->isChecked());
    EXPECT_TRUE(f.chbModNum->isChecked());
    EXPECT_TRUE(f.chbModoAdv->isChecked());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "config.ini"));
    Destroy();
    EXPECT_EQ(dir.Read("config.ini"), zel::FormatMessage(kWrittenDefaults, pasta));
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(Settings, ClampsHexAndBadValues) {
    dir.Write("config.ini",
              "[Geral]\r\ntempotecla=0x1F\r\ntempoativacao=abc\r\nconfianca=150\r\nsampling=-3\r\n"
              "ativatoggle=7\r\nmodoadv=0\r\nteclaativacao= F9 \r\n");
    auto& f = Create();
    EXPECT_EQ(f.Profile.TempoTecla, 31);
    EXPECT_EQ(f.edtTempoTeclas->text(), "31");
    EXPECT_EQ(f.Profile.TempoAtivacao, 5);
    EXPECT_EQ(f.tbConfianca->value(), 100);
    EXPECT_EQ(f.LblConfianca->text(), QString::fromUtf8("Confiança: 100%"));
    EXPECT_EQ(f.tbSampling->value(), 0);
    EXPECT_EQ(f.lblSampling->text(), "Sampling: 8000Hz");
    EXPECT_EQ(services.SampleRate, 8000);
    EXPECT_TRUE(f.chbAtivaToggle->isChecked());
    EXPECT_FALSE(f.chbModoAdv->isChecked());
    EXPECT_EQ(f.edtTeclaAtivacao->text(), "F9");
}

// A key held for an hour is a stuck key: the times are kept to what a user
// can mean, in the boxes and in what is written back.
TEST_F(Settings, HugeOrNegativeTimesAreBroughtIntoRange) {
    dir.Write("config.ini", "[geral]\r\ntempotecla=3600000\r\ntempoativacao=-4\r\n");
    auto& f = Create();
    EXPECT_EQ(f.Profile.TempoTecla, 1000);
    EXPECT_EQ(f.edtTempoTeclas->text(), "1000");
    EXPECT_EQ(f.Profile.TempoAtivacao, 0);
    EXPECT_EQ(f.edtTempoAtivo->text(), "0");
    Destroy();
    const std::string text = dir.Read("config.ini");
    EXPECT_NE(text.find("tempotecla=1000\r\ntempoativacao=0\r\n"), std::string::npos) << text;
}

TEST_F(Settings, EveryPositionOfTheSamplingBarGivesItsRate) {
    auto& f = Create();
    const int rates[] = {8000, 16000, 22050, 32000, 44100, 96000};
    for (int i = 0; i < 6; ++i) {
        f.tbSampling->setValue(i);
        EXPECT_EQ(f.lblSampling->text(), QString("Sampling: %1Hz").arg(rates[i]));
        EXPECT_EQ(services.SampleRate, rates[i]);
    }
}

TEST_F(Settings, ValuesComeBackAndOtherKeysStay) {
    dir.Write("config.ini",
              "; mine\r\n[geral]\r\nconfianca=75\r\nextra=keep\r\nsomativacao=/x/som.wav\r\n[outra]\r\na=1\r\n");
    auto& f = Create();
    EXPECT_EQ(f.edtSomAtivacao->text(), "/x/som.wav");
    f.tbConfianca->setValue(33);
    f.chbMultiCmd->setChecked(false);
    f.edtSomAtivacao->setText(QString::fromUtf8("/sons/ação.wav"));
    Destroy();
    const std::string text = dir.Read("config.ini");
    // The sound's file name is kept as the file system spells it (UTF-8).
    EXPECT_NE(text.find("; mine\r\n[geral]\r\nconfianca=33\r\nextra=keep\r\nsomativacao=/sons/ação.wav\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("multicmd=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("[outra]\r\na=1\r\n"), std::string::npos);
}

// Earlier versions wrote the sound's name in Windows-1252: it still names its file.
TEST_F(Settings, ASoundNameWrittenInWindows1252IsReadAsItsFile) {
    dir.Write("config.ini", "[geral]\r\nsomativacao=/sons/a\xE7\xE3o.wav\r\n");
    auto& f = Create();
    EXPECT_EQ(f.edtSomAtivacao->text(), QString::fromUtf8("/sons/ação.wav"));
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("somativacao=/sons/ação.wav\r\n"), std::string::npos);
}

TEST_F(Settings, TypedTimesAreSavedOnlyAfterASwitchOn) {
    auto& f = Create();
    f.edtTempoTeclas->setText("40");
    Destroy();
    EXPECT_NE(dir.Read("config.ini").find("tempotecla=10\r\n"), std::string::npos);
}

TEST_F(Settings, LoadingAProfileResetsTheTimesThatAreWritten) {
    dir.Write("config.ini", "[geral]\r\ntempotecla=25\r\ntempoativacao=9\r\n");
    dir.Write("p.zpr", "[geral]\r\nnumcomandos=0\r\n[ditado]\r\n");
    auto& f = Create();
    nextChoice << QString::fromStdString(dir.File("p.zpr"));
    f.btnCarregarProfileClick();
    EXPECT_EQ(f.edtTempoTeclas->text(), "25");  // the boxes keep their text
    Destroy();
    const std::string text = dir.Read("config.ini");
    EXPECT_NE(text.find("tempotecla=10\r\ntempoativacao=5\r\n"), std::string::npos) << text;
}

TEST_F(Settings, WithoutTheHookLibraryTheSettingsAreReadAndKept) {
    services.FailWith["LoadHookLibrary"] = "DLL zeldll.dll n\xE3o encontrada";
    const std::string original = "[geral]\r\ntempotecla=77\r\nconfianca=12\r\nmodnum=0\r\nteclaativacao=F8\r\n";
    dir.Write("config.ini", original);
    auto& f = Create();
    ASSERT_EQ(messages, QStringList{QString::fromUtf8("DLL zeldll.dll não encontrada")});
    EXPECT_FALSE(f.HookLoaded);
    EXPECT_EQ(f.tbConfianca->value(), 12);
    EXPECT_EQ(f.CurrentPageName(), "menu");
    Destroy();
    const std::string text = dir.Read("config.ini");
    EXPECT_NE(text.find("tempotecla=77\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("confianca=12\r\n"), std::string::npos);
    EXPECT_NE(text.find("modnum=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("teclaativacao=F8\r\n"), std::string::npos);
}

TEST_F(Settings, AFileThatCouldNotBeReadIsNeverOverwritten) {
    // A folder where the file should be: it exists but cannot be read as text.
    std::filesystem::create_directory(dir.Path() / "config.ini");
    dir.Write("config.ini/keep", "x");
    auto& f = Create();
    EXPECT_FALSE(f.SettingsRead);
    EXPECT_EQ(f.tbConfianca->value(), 50);
    Destroy();
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "config.ini"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Settings, AFailedWriteAtExitIsShownAndTheProgramStillEnds) {
    Create();
    // Something that is no file now stands where config.ini goes.
    std::filesystem::create_directory(dir.Path() / "config.ini");
    dir.Write("config.ini/keep", "x");
    Destroy();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].toStdString(), "Unable to write to " + pasta + "config.ini");
    EXPECT_EQ(dir.Read("config.ini/keep"), "x");
}
