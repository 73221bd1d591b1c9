#include "commands/LocaleCollator.h"

#include <unicode/ucol.h>

#include <memory>
#include <vector>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {
namespace {

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// One collator per thread: ICU collators are cheap to open and this keeps the
// core free of locks when a helper thread compares texts.
UCollator* ThreadCollator() {
    thread_local std::unique_ptr<UCollator, CollatorCloser> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("pt_BR", &status);
        if (U_FAILURE(status)) throw TError("ICU: n\xE3o foi poss\xEDvel abrir o collator pt_BR");
        ucol_setStrength(c, UCOL_SECONDARY);
        return std::unique_ptr<UCollator, CollatorCloser>(c);
    }();
    return collator.get();
}

const UChar* AsUChar(const std::u16string& s) { return reinterpret_cast<const UChar*>(s.data()); }

}  // namespace

int LocaleCompare(std::string_view a, std::string_view b) {
    std::u16string ua = Cp1252ToUtf16(a), ub = Cp1252ToUtf16(b);
    UCollationResult r = ucol_strcoll(ThreadCollator(), AsUChar(ua), static_cast<int32_t>(ua.size()), AsUChar(ub),
                                      static_cast<int32_t>(ub.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool LocaleEqual(std::string_view a, std::string_view b) { return LocaleCompare(a, b) == 0; }

std::string LocaleSortKey(std::string_view text) {
    std::u16string u = Cp1252ToUtf16(text);
    UCollator* c = ThreadCollator();
    std::vector<uint8_t> buffer(u.size() * 4 + 16);
    int32_t needed = ucol_getSortKey(c, AsUChar(u), static_cast<int32_t>(u.size()), buffer.data(),
                                     static_cast<int32_t>(buffer.size()));
    if (needed > static_cast<int32_t>(buffer.size())) {
        buffer.resize(static_cast<size_t>(needed));
        needed = ucol_getSortKey(c, AsUChar(u), static_cast<int32_t>(u.size()), buffer.data(),
                                 static_cast<int32_t>(buffer.size()));
    }
    // The key ends in a 0 byte that carries no order.
    if (needed > 0 && buffer[static_cast<size_t>(needed) - 1] == 0) --needed;
    return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(needed));
}

}  // namespace zel
