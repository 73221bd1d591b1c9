#pragma once
// A recognized sentence becomes commands, repeat counts and typed text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionContext.h"
#include "actions/ActionRecord.h"

namespace zel {

// What ExecuteCommandWord did.
enum TMatchResult : int32_t {
    mrIgnored = -1,  // no command has this phrase and Ativo is clear: nothing done
    mrCommand = 0,   // a command had this phrase (whether or not it ran)
    mrTyped = 1,     // no command had this phrase; the word was typed
};

// Whether a sentence's words hold one that is neither a command's phrase nor
// a number word: dictated text, whose words are all typed.
bool IsDictatedSentence(const TActionContext& ctx, const std::vector<std::string>& words);

// One recognized sentence, already converted to Windows-1252 and trimmed.
// An error (an invalid modifier number, a failing action) ends the sentence
// and propagates to the caller, which shows it; what was done stays done.
// Returns what was done, one record per command word, typed word or Enter.
TActionRecords HandleSentence(TActionContext& ctx, std::string_view sentence);

// Runs the first command whose phrase is word (case ignored, accents count)
// repeat times, restarting a running activation timer after each; or types
// the word and a blank while Ativo is set. done (when given) gets the record.
int32_t ExecuteCommandWord(TActionContext& ctx, std::string_view word, int32_t repeat,
                           TActionRecords* done = nullptr);

}  // namespace zel
