#pragma once
// Phrases that sound alike to the recognizer: "parar" and "pausar" differ in
// one vowel and one consonant of similar kind. A user who sees this while
// writing a command can pick another word before it misfires.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Comandos.h"

namespace zel {

// Edit distance between two pronunciations (blank-separated phonemes): a
// phoneme added or dropped costs 1, one replaced by another of its kind (two
// vowels, two nasals, a voiced and a voiceless consonant of one place) 0.5,
// any other replacement 1.
double PhoneDistance(std::string_view a, std::string_view b);

// Do two pronunciations lie close enough to be taken for each other? At most
// 1.5 apart, or a quarter of the longer one's phonemes for long phrases.
bool SoundAlike(std::string_view a, std::string_view b);

struct TSoundAlike {
    size_t Index;          // in the candidates
    double Distance;
};
// The candidates (pronunciations) that sound like pronunciation, nearest
// first; the same pronunciation counts too (distance 0). The caller leaves
// the phrase itself out of the candidates.
std::vector<TSoundAlike> FindSoundAlikes(std::string_view pronunciation, std::span<const std::string> candidates);

// The phrases of the other commands and of the number words that sound like
// command index of comandos, nearest first, at most `most`.
std::vector<std::string> SoundAlikePhrases(const TListaComandos& comandos, int32_t index, const TListaComandos& numeros,
                                           size_t most = 3);
// What the command editor shows under a phrase: "Parecido com: pausar,
// atirar", or nothing.
std::string SoundAlikeWarning(const TListaComandos& comandos, int32_t index, const TListaComandos& numeros);

struct TSoundAlikePair {
    std::string A, B;  // phrases; B may be a number word
    double Distance;
};
// Every pair of commands, and of a command and a number word, that sound
// alike: command by command in list order, the nearest first.
std::vector<TSoundAlikePair> SoundAlikePairs(const TListaComandos& comandos, const TListaComandos& numeros);

}  // namespace zel
