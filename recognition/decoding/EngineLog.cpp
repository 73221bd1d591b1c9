#include "recognition/decoding/EngineLog.h"

#include <sphinxbase/err.h>

#include <algorithm>
#include <cstdarg>

#include "commands/Cp1252.h"
#include "platform/SystemFiles.h"

namespace zel {

namespace {

void EngineCallback(void* self, err_lvl_t level, const char* fmt, ...) {
    char text[2048];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    static_cast<TEngineLog*>(self)->Add(level, text);
}

}  // namespace

TEngineLog& TEngineLog::Instance() {
    static TEngineLog log;
    return log;
}

TEngineLog::TEngineLog() {
    err_set_callback(&EngineCallback, this);
}

void TEngineLog::Open(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    CloseLocked();
    // The log is ours: a link put in its place is replaced by the log,
    // never followed (its target would be overwritten with the engine's output).
    if (!fileName.empty()) file_ = OpenOwnFile(fileName, false);
    // Line by line, so that the log can be followed while listening and
    // never ends in the middle of a line.
    if (file_) std::setvbuf(file_, nullptr, _IOLBF, 0);
    errors_.clear();
    // The engine prints its configuration straight to the log stream.
    err_set_logfp(file_);
    err_set_callback(&EngineCallback, this);
}

void TEngineLog::Close() {
    std::lock_guard lock(mutex_);
    CloseLocked();
}

void TEngineLog::Line(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fprintf(file_, "ZEL: %s\n", text.c_str());
        std::fflush(file_);
    }
}

void TEngineLog::ClearErrors() {
    std::lock_guard lock(mutex_);
    errors_.clear();
}

std::string TEngineLog::Errors() {
    std::lock_guard lock(mutex_);
    std::string all;
    for (const auto& e : errors_) {
        if (!all.empty()) all += "; ";
        all += e;
    }
    return all;
}

void TEngineLog::CloseLocked() {
    err_set_logfp(nullptr);
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void TEngineLog::Add(int level, const char* text) {
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fputs(text, file_);
        if (level >= ERR_WARN) std::fflush(file_);
    }
    if (level >= ERR_ERROR) {
        std::string e(text);
        while (!e.empty() && (e.back() == '\n' || e.back() == '\r')) e.pop_back();
        // "ERROR: "file.c", line 12: reason" → "reason"
        size_t at = e.find(", line ");
        if (at != std::string::npos) {
            size_t colon = e.find(": ", at);
            if (colon != std::string::npos) e = e.substr(colon + 2);
        }
        // The engine says the same thing at every attempt: once is enough.
        if (errors_.size() < 8 && !e.empty() && std::find(errors_.begin(), errors_.end(), e) == errors_.end())
            errors_.push_back(e);
    }
}

std::string EngineReason(const std::string& fallback) {
    std::string e = TEngineLog::Instance().Errors();
    return e.empty() ? fallback : Utf8ToCp1252(e);
}

}  // namespace zel
