#pragma once
// The spoken command and the ordered list of them that makes a profile. The
// same list type holds the numeric-modifier table (phrase = number word,
// Args = the number).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zel {

enum TTipoComando : uint8_t {
    tcExecucao = 0,   // start a program with parameters
    tcTecla = 1,      // press a key combination
    tcAtivacao = 2,   // switch command recognition on or off
    tcDigitacao = 3,  // type a text
};

struct TComando {
    std::string Cmd;      // the phrase, Windows-1252
    std::string Fonemas;  // pronunciation: phoneme symbols, blank-separated
    uint8_t Acao = tcExecucao;
    std::string Args;     // encoded by Acao (see ExecArgs, DigitacaoArgs)
};

// Arguments of a program command: the path, then the parameter pieces.
struct TExecArgs {
    std::string Program;
    std::vector<std::string> Parameters;
};
TExecArgs SplitExecArgs(std::string_view args);
// What the editor stores: program, one blank, parameters (the blank always).
std::string JoinExecArgs(std::string_view program, std::string_view parameters);

// Arguments of a typing command: flag "1" = send a blank, flag "1" = send
// Enter, then the text.
struct TDigitacaoArgs {
    bool MandarEspaco = false;
    bool MandarEnter = false;
    std::string Texto;
};
TDigitacaoArgs SplitDigitacaoArgs(std::string_view args);
std::string JoinDigitacaoArgs(bool mandarEspaco, bool mandarEnter, std::string_view texto);

class TListaComandos {
public:
    TListaComandos() = default;
    TListaComandos(const TListaComandos& other) : items_(other.items_) {}
    TListaComandos& operator=(const TListaComandos& other) {
        if (this != &other) {
            items_ = other.items_;
            Changed();
        }
        return *this;
    }
    TListaComandos(TListaComandos&&) = default;
    TListaComandos& operator=(TListaComandos&&) = default;

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    const TComando& operator[](int32_t index) const { return items_.at(static_cast<size_t>(index)); }
    // Writable access; the phrase index is rebuilt at the next FindPhrase.
    // Take a fresh reference for every change: a kept one bypasses that.
    TComando& At(int32_t index);

    void SetLength(int32_t length);
    // Appends "comando", empty pronunciation, tcTecla, empty arguments.
    void AppendNew();
    void Append(TComando command);
    // Room for this many commands, so that appending them one by one does
    // not hold two copies of the list while it grows.
    void Reserve(size_t count) { items_.reserve(count); }
    // Out-of-range indexes do nothing.
    void RemoveAt(int32_t index);
    void Clear();
    // Index of the first command whose phrase equals word without regard to
    // case (user's locale, accents count), or -1.
    int32_t FindPhrase(std::string_view word) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    void Changed() { index_.reset(); }

    std::vector<TComando> items_;
    // Collation key → first index; built on demand, so a sentence costs one
    // hash lookup per word instead of a walk of the whole list.
    mutable std::unique_ptr<std::unordered_map<std::string, int32_t>> index_;
};

}  // namespace zel
