#pragma once
// The engine logs through one process-wide callback. It goes to the control's
// log file; errors are also kept so that a refusal can say why.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace zel {

class TEngineLog {
public:
    static TEngineLog& Instance();

    // fileName: the system's bytes; empty: no log file, errors still kept.
    void Open(const std::string& fileName);
    void Close();
    // One line of ours, marked "ZEL: ".
    void Line(const std::string& text);
    void ClearErrors();
    // The engine's error lines since the last clear, without their source
    // position, joined by "; ".
    std::string Errors();
    // Where the engine's callback puts each message (level: the engine's).
    void Add(int level, const char* text);

private:
    TEngineLog();
    void CloseLocked();

    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    std::vector<std::string> errors_;
};

// The engine's reason (its own words, ASCII) or our fallback (core text).
std::string EngineReason(const std::string& fallback);

}  // namespace zel
