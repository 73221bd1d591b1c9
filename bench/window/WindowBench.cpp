#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include "app/ErrorGuard.h"
#include "app/Form1.h"
#include "app/WindowRegion.h"
#include "app/ZelServices.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/FakeRecognizer.h"

namespace {

struct TWindow {
    zel::TEventLog log;
    std::unique_ptr<zel::IWindowServices> services;
    std::unique_ptr<zel::TForm1> form;
    TWindow() {
        zel::SetMessageSink([](const QString&) {});
        services = zel::MakeZelServices("/tmp/zel-bench-window/", std::make_unique<zel::TFakeDesktop>(log),
                                        [](zel::IEventPoster&) { return std::make_unique<zel::TFakeRecognizerControl>(); });
        form = std::make_unique<zel::TForm1>(*services, "/tmp/zel-bench-window/");
        form->SettingsRead = false;  // nothing written at the end
    }
};

void BM_BuildWindowRegion(benchmark::State& state) {
    QImage bg = zel::SkinImage("fundo");
    for (auto _ : state) benchmark::DoNotOptimize(zel::BuildWindowRegion(bg));
}
BENCHMARK(BM_BuildWindowRegion)->Unit(benchmark::kMicrosecond);

void BM_SelectCommand(benchmark::State& state) {
    TWindow w;
    for (int i = 0; i < state.range(0); ++i) {
        zel::TComando c;
        c.Cmd = "comando " + std::to_string(i);
        c.Acao = zel::tcTecla;
        c.Args = "CTRL+C";
        w.form->Profile.Comandos.Append(c);
    }
    w.form->BtnComandosClick();
    int row = 0;
    for (auto _ : state) {
        w.form->lbxCmds->setCurrentRow(row);
        row = (row + 7) % static_cast<int>(state.range(0));
    }
}
BENCHMARK(BM_SelectCommand)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PhraseKeystroke(benchmark::State& state) {
    TWindow w;
    w.form->btnAdicionarClick();
    int i = 0;
    for (auto _ : state) {
        w.form->edtCmd->setText(QString::fromUtf8(i++ % 2 ? "abrir o navegador de internet" : "abrir o navegador de interne"));
    }
}
BENCHMARK(BM_PhraseKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
