#pragma once
// The vocabulary of a recognition run, counted into the model builder. The
// switch-on, zelcmd's model command and the fuzz targets share it, so that
// what they check is what the recognizer gets.
#include <string>
#include <vector>

#include "commands/Comandos.h"
#include "langmodel/ParserPortugues.h"

namespace zel {

// Every command with a phrase (unigram, opening and closing bigrams, the
// trigram, its dictionary line), every number word of modificadores
// (unigram, opening bigram, dictionary line; null: none) and the dictation
// memo: its bundle lines, or its sentences when it holds no bundle. The
// counts are reset first; no file is written.
void CountRecognizerVocabulary(TParserPortugues& parser, const TListaComandos& comandos,
                               const TListaComandos* modificadores, const std::vector<std::string>& ditado);

}  // namespace zel
