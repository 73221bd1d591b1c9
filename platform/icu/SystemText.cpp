// The Linux edition's collation and normalization: ICU.
#include "commands/SystemText.h"

#include <unicode/normalizer2.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "commands/ZelError.h"

namespace zel::systemtext {

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

}  // namespace

std::string CollationSortKey(std::u16string_view text) {
    const UChar* u = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    UCollator* c = ThreadCollator();
    std::vector<uint8_t> buffer(text.size() * 4 + 16);
    int32_t needed = ucol_getSortKey(c, u, length, buffer.data(), static_cast<int32_t>(buffer.size()));
    if (needed > static_cast<int32_t>(buffer.size())) {
        buffer.resize(static_cast<size_t>(needed));
        needed = ucol_getSortKey(c, u, length, buffer.data(), static_cast<int32_t>(buffer.size()));
    }
    // The key ends in a 0 byte that carries no order.
    if (needed > 0 && buffer[static_cast<size_t>(needed) - 1] == 0) --needed;
    return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(needed));
}

std::string ComposedUtf8(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return std::string(utf8);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    if (nfc->isNormalized(text, status) && U_SUCCESS(status)) return std::string(utf8);
    status = U_ZERO_ERROR;
    icu::UnicodeString composed = nfc->normalize(text, status);
    if (U_FAILURE(status)) return std::string(utf8);
    std::string out;
    composed.toUTF8String(out);
    return out;
}

}  // namespace zel::systemtext
