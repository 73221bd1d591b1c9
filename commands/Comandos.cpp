#include "commands/Comandos.h"

#include "commands/LocaleCollator.h"
#include "commands/ParseString.h"

namespace zel {

TExecArgs SplitExecArgs(std::string_view args) {
    TParsedString pieces = ParseString(args, ' ');
    TExecArgs result;
    if (pieces.Count > 0) {
        result.Program = pieces.Items[0];
        result.Parameters.assign(pieces.Items.begin() + 1, pieces.Items.begin() + pieces.Count);
    }
    return result;
}

std::string JoinExecArgs(std::string_view program, std::string_view parameters) {
    return std::string(program) + " " + std::string(parameters);
}

TDigitacaoArgs SplitDigitacaoArgs(std::string_view args) {
    TDigitacaoArgs result;
    result.MandarEspaco = args.size() >= 1 && args[0] == '1';
    result.MandarEnter = args.size() >= 2 && args[1] == '1';
    if (args.size() > 2) result.Texto = std::string(args.substr(2));
    return result;
}

std::string JoinDigitacaoArgs(bool mandarEspaco, bool mandarEnter, std::string_view texto) {
    return std::string(mandarEspaco ? "1" : "0") + (mandarEnter ? "1" : "0") + std::string(texto);
}

TComando& TListaComandos::At(int32_t index) {
    Changed();
    return items_.at(static_cast<size_t>(index));
}

void TListaComandos::SetLength(int32_t length) {
    Changed();
    items_.resize(length < 0 ? 0 : static_cast<size_t>(length));
}

void TListaComandos::AppendNew() {
    Append(TComando{"comando", "", tcTecla, ""});
}

void TListaComandos::Append(TComando command) {
    Changed();
    items_.push_back(std::move(command));
}

void TListaComandos::RemoveAt(int32_t index) {
    if (index < 0 || index >= Count()) return;
    Changed();
    items_.erase(items_.begin() + index);
}

void TListaComandos::Clear() {
    Changed();
    items_.clear();
}

int32_t TListaComandos::FindPhrase(std::string_view word) const {
    if (!index_) {
        index_ = std::make_unique<std::unordered_map<std::string, int32_t>>();
        index_->reserve(items_.size());
        for (int32_t i = 0; i < Count(); ++i) index_->try_emplace(LocaleSortKey(items_[static_cast<size_t>(i)].Cmd), i);
    }
    auto it = index_->find(LocaleSortKey(word));
    return it == index_->end() ? -1 : it->second;
}

}  // namespace zel
