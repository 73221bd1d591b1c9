#pragma once
// What was heard and what it caused, in the words the window's panel, the
// terminal and the history file share: "copiar → CTRL+C (87)",
// "três baixo → DOWN ×3 (80)", "bom dia → digitado (71)",
// "trinta baixo → rejeitado (26)".
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "actions/ActionRecord.h"

namespace zel {

// What a sentence's records caused, Windows-1252: the actions joined by
// ", " ("CTRL+C", "DOWN ×3", "digitado", "ignorado: comandos desativados",
// "executa firefox", "digita \"texto\"", "comandos ativados", "ENTER");
// typed or ignored words in a row are said once. "nenhuma ação" when the
// sentence did nothing at all (a number word alone).
std::string DescribeActions(const TActionRecords& records);

// The outcome of a rejected sentence: "rejeitado (26)"; when the confidence
// was enough but the check against the commands heard other words,
// "rejeitado (54): não confere com os comandos".
std::string RejectedOutcome(int32_t confidence, bool otherCommands = false);
// The outcome of a sentence whose interpretation failed: "erro: " + message.
std::string ErrorOutcome(const std::string& message);

struct THeardEntry {
    std::string Time;      // "AAAA-MM-DD HH:MM:SS", local time
    std::string Sentence;  // as interpreted, Windows-1252
    int32_t Confidence = 0;
    bool Accepted = false;
    std::string Outcome;   // DescribeActions, RejectedOutcome or ErrorOutcome
};

// The entry as one line of text, UTF-8 (the arrow has no Windows-1252
// character, so these lines are made for the screen and the terminal only):
// sentence, arrow, outcome and, for an accepted sentence, the confidence in
// parentheses (a rejected one already says it).
std::string HeardLine(const THeardEntry& entry);

// The entry as a line of the history file, UTF-8, fields separated by tabs:
// time, sentence, confidence, "aceito" or "rejeitado", what it caused (empty
// for a rejected sentence).
std::string HistoryLine(const THeardEntry& entry);

// The sentences heard in a run, newest first, at most kMaxHeard of them.
class THeardList {
public:
    static constexpr size_t kMaxHeard = 50;
    void Add(THeardEntry entry);
    const std::deque<THeardEntry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

private:
    std::deque<THeardEntry> entries_;
};

}  // namespace zel
