// Sentence interpretation with a large profile, and the cost of typing per
// character beyond the hold time.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "actions/Actions.h"
#include "actions/Interpretation.h"
#include "platform/x11/X11Desktop.h"

using namespace zel;

namespace {

// A desktop that only counts what it is asked to do.
class TCountingDesktop : public IDesktop {
public:
    void KeyDown(uint8_t) override { ++keys; }
    void KeyUp(uint8_t) override {}
    void Sleep(int32_t) override {}
    bool ShellOpen(const std::string&, const std::string&, const std::string&) override { return true; }
    void PlaySoundAsync(const std::string&) override {}
    void ProcessMessages() override {}
    int64_t keys = 0;
};

class TStillTimer : public ITimer {
public:
    void SetEnabled(bool e) override { enabled_ = e; }
    bool Enabled() const override { return enabled_; }
    void SetInterval(int32_t) override {}
    int32_t Interval() const override { return 0; }

private:
    bool enabled_ = false;
};

// n key commands with Portuguese-looking phrases, and ten number words.
TListaComandos MakeProfile(int n) {
    TListaComandos list;
    for (int i = 0; i < n; ++i)
        list.Append(TComando{"a\xE7\xE3o" + std::to_string(i), "", tcTecla, i % 2 ? "CTRL+C" : "DOWN"});
    return list;
}

void BM_Sentences(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TListaComandos comandos = MakeProfile(n);
    TCountingDesktop desktop;
    TStillTimer timer;
    TActionContext ctx(comandos, desktop, timer, nullptr);
    const char* numbers[] = {"um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "sete", "oito", "nove", "dez"};
    for (int i = 0; i < 10; ++i) ctx.Modificadores.Append(TComando{numbers[i], "", 0, std::to_string(i + 1)});
    ctx.Ativo = true;
    ctx.Prefs.ModoAdv = false;
    ctx.TempoTecla = 0;
    // Six words: a number word, commands spread over the whole list, one
    // word that names nothing (typed).
    std::string sentences[4];
    for (int s = 0; s < 4; ++s) {
        sentences[s] = "dois A\xC7\xC3O" + std::to_string((s * 7919) % n) + " a\xE7\xE3o" + std::to_string(n - 1 - s) +
                       " um a\xE7\xE3o" + std::to_string((s * 104729) % n) + " palavra";
    }
    comandos.FindPhrase("");  // the index is built once, at the first lookup
    int64_t words = 0;
    int s = 0;
    for (auto _ : state) {
        HandleSentence(ctx, sentences[s]);
        s = (s + 1) & 3;
        words += 6;
    }
    benchmark::DoNotOptimize(desktop.keys);
    state.SetItemsProcessed(words);
    state.counters["sentences/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sentences)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The first sentence after a profile is loaded pays for the phrase index.
void BM_FirstLookupBuildsTheIndex(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TListaComandos comandos = MakeProfile(n);
        state.ResumeTiming();
        benchmark::DoNotOptimize(comandos.FindPhrase("a\xE7\xE3o1"));
    }
}
BENCHMARK(BM_FirstLookupBuildsTheIndex)->Arg(10000)->Unit(benchmark::kMillisecond);

// Typing through the X11 desktop at hold time 0: all that is left is the
// cost per character beyond the hold time. Needs DISPLAY (see run.sh).
void TypeOnX(benchmark::State& state, const std::string& text) {
    std::unique_ptr<TX11Desktop> desktop;
    try {
        desktop = std::make_unique<TX11Desktop>();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    TListaComandos none;
    TStillTimer timer;
    TActionContext ctx(none, *desktop, timer, nullptr);
    ctx.TempoTecla = static_cast<int32_t>(state.range(0));
    int64_t chars = 0;
    for (auto _ : state) {
        TypeText(ctx, text);
        chars += static_cast<int64_t>(text.size());
    }
    state.SetItemsProcessed(chars);
    state.counters["us/char"] = benchmark::Counter(static_cast<double>(chars),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                   benchmark::Counter::kIs1000);
}

void BM_TypePlainOnX(benchmark::State& state) { TypeOnX(state, "o sistema esta pronto para o trabalho "); }
void BM_TypePortugueseOnX(benchmark::State& state) {
    TypeOnX(state, "a\xE7\xE3o p\xE3o voc\xEA \xE1gua ol\xE1 cora\xE7\xE3o ");  // ação pão você água olá coração
}
BENCHMARK(BM_TypePlainOnX)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(BM_TypePortugueseOnX)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();

// The same through the core alone (no server): the interpretation's share.
void BM_TypeTextCoreOnly(benchmark::State& state) {
    TListaComandos none;
    TCountingDesktop desktop;
    TStillTimer timer;
    TActionContext ctx(none, desktop, timer, nullptr);
    ctx.TempoTecla = 0;
    const std::string text = "a\xE7\xE3o p\xE3o voc\xEA \xE1gua ol\xE1 cora\xE7\xE3o ";
    int64_t chars = 0;
    for (auto _ : state) {
        TypeText(ctx, text);
        chars += static_cast<int64_t>(text.size());
    }
    state.SetItemsProcessed(chars);
}
BENCHMARK(BM_TypeTextCoreOnly);

}  // namespace

BENCHMARK_MAIN();
