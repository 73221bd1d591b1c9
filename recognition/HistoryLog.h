#pragma once
// historico.log in the program's folder: one line per sentence heard (see
// HistoryLine in actions/Heard.h), written whole and at once so that the file
// can be followed while listening and never ends in the middle of a line.
// Past kHistoryMaxBytes the file becomes historico.log.1 (an older one goes)
// and a new one begins. The file is ours: a link put in its place is
// replaced, never followed. A file that cannot be written never stops
// recognition: Append says so once per run and the lines are dropped.
#include <cstdint>
#include <cstdio>
#include <string>

namespace zel {

inline constexpr const char* kHistoryFileName = "historico.log";
inline constexpr int64_t kHistoryMaxBytes = 1024 * 1024;

class THistoryLog {
public:
    // fileName: core text; maxBytes: the size that starts a new file.
    explicit THistoryLog(std::string fileName, int64_t maxBytes = kHistoryMaxBytes);
    ~THistoryLog();
    THistoryLog(const THistoryLog&) = delete;
    THistoryLog& operator=(const THistoryLog&) = delete;

    // A new run: the file is opened afresh at the next line, and a failure
    // may be told again.
    void StartRun();
    // Appends one UTF-8 line (the line feed is added). Returns the message to
    // show (core text) the first time in a run that the file cannot be
    // written, empty otherwise.
    std::string Append(const std::string& utf8Line);
    const std::string& FileName() const { return fileName_; }

private:
    bool Open();
    void Close();
    std::string fileName_;
    int64_t maxBytes_;
    std::FILE* file_ = nullptr;
    int64_t size_ = 0;
    bool told_ = false;
};

}  // namespace zel
