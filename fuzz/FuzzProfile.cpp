// A profile loaded, saved and loaded again gives the same commands and the
// same dictation; what a profile holds never costs more than the file allows.
#include "commands/Profile.h"
#include "commands/ZelError.h"
#include "fuzz/FuzzSupport.h"

namespace {
// Values that start or end with blanks or quotes lose them to the INI rules
// on every read (the toolkit's own behaviour): compare the others.
bool Stable(const std::string& v) {
    auto edge = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\'' || static_cast<unsigned char>(c) < 0x20; };
    return v.empty() || (!edge(v.front()) && !edge(v.back()));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string in = zelfuzz::WriteInput("in.zpr", data, size);
    std::string out = (zelfuzz::Scratch() / "out.zpr").string();
    std::filesystem::remove(out);
    zel::TProfileState first;
    // A file that is no profile is refused, and that is all.
    try {
        zel::LoadProfile(first, in);
    } catch (const zel::TError&) {
        return 0;
    }
    // A command needs a section header of six bytes or more; empty ones
    // without a section are kept only up to the reader's budget.
    ZELFUZZ_CHECK(static_cast<size_t>(first.Comandos.Count()) <= 1025 + size / 16 + size / 6);
    zel::SaveProfile(first, out);
    zel::TProfileState second;
    zel::LoadProfile(second, out);
    ZELFUZZ_CHECK(second.Comandos.Count() == first.Comandos.Count());
    ZELFUZZ_CHECK(second.Ditado == first.Ditado);
    for (int32_t i = 0; i < first.Comandos.Count(); ++i) {
        const zel::TComando& a = first.Comandos[i];
        const zel::TComando& b = second.Comandos[i];
        ZELFUZZ_CHECK(a.Acao == b.Acao);
        if (Stable(a.Cmd)) ZELFUZZ_CHECK(a.Cmd == b.Cmd);
        if (Stable(a.Args)) ZELFUZZ_CHECK(a.Args == b.Args);
        if (Stable(a.Fonemas)) ZELFUZZ_CHECK(a.Fonemas == b.Fonemas);
    }
    return 0;
}
