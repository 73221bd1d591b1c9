#include "langmodel/ParserPortugues.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "commands/LocaleCollator.h"
#include "commands/ParseString.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"
#include "commands/ZelError.h"
#include "langmodel/WrittenForm.h"

namespace zel {
namespace {

constexpr int32_t kMaxCount = std::numeric_limits<int32_t>::max();

int32_t AddSaturated(int32_t count, int64_t n) {
    return static_cast<int32_t>(std::min<int64_t>(kMaxCount, static_cast<int64_t>(count) + n));
}

struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using TStringIndex = std::unordered_map<std::string, int32_t, StringHash, std::equal_to<>>;

// Open-addressing index of n-gram entries by their token ids. The table holds
// entry numbers (4 bytes a slot, at most half full); the ids stay in the
// entry vector.
template <size_t N>
class TTupleIndex {
public:
    using Key = std::array<int32_t, N>;

    explicit TTupleIndex(const std::vector<Key>& entries) : entries_(entries) {}
    void Clear() {
        slots_.assign(16, -1);
        used_ = 0;
    }
    int32_t Find(const Key& key) const {
        if (slots_.empty()) return -1;
        size_t mask = slots_.size() - 1;
        for (size_t s = Hash(key) & mask;; s = (s + 1) & mask) {
            int32_t e = slots_[s];
            if (e < 0) return -1;
            if (Same(entries_[static_cast<size_t>(e)], key)) return e;
        }
    }
    // The entry is already in the vector, not yet in the index.
    void Insert(int32_t entry) {
        if (slots_.empty()) slots_.assign(16, -1);
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        Place(entry);
        ++used_;
    }
    void Rebuild() {
        size_t size = 16;
        while (size < entries_.size() * 2 + 2) size *= 2;
        slots_.assign(size, -1);
        used_ = entries_.size();
        for (size_t e = 0; e < entries_.size(); ++e) Place(static_cast<int32_t>(e));
    }

private:
    static bool Same(const Key& a, const Key& b) {
        for (size_t k = 0; k < N; ++k)
            if (a[k] != b[k]) return false;
        return true;
    }
    static size_t Hash(const Key& key) {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (int32_t id : key) {
            h ^= static_cast<uint32_t>(id);
            h *= 0xFF51AFD7ED558CCDull;
            h ^= h >> 32;
        }
        return static_cast<size_t>(h);
    }
    void Place(int32_t entry) {
        size_t mask = slots_.size() - 1;
        size_t s = Hash(entries_[static_cast<size_t>(entry)]) & mask;
        while (slots_[s] >= 0) s = (s + 1) & mask;
        slots_[s] = entry;
    }
    void Grow() {
        std::vector<int32_t> old;
        old.swap(slots_);
        slots_.assign(old.size() * 2, -1);
        for (int32_t e : old)
            if (e >= 0) Place(e);
    }

    const std::vector<Key>& entries_;
    std::vector<int32_t> slots_;
    size_t used_ = 0;
};

// The number format of the model: fixed, four decimals, at least six wide,
// always with a full stop, whatever the locale.
void AppendNumber(std::string& out, long double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 4);
    size_t length = static_cast<size_t>(result.ptr - buffer);
    if (length < 6) out.append(6 - length, ' ');
    out.append(buffer, length);
}

// The primary part of a collation key: the bytes before the level separator.
std::string_view PrimaryPart(std::string_view key) {
    size_t end = key.find('\x01');
    return end == std::string_view::npos ? key : key.substr(0, end);
}

// Bytes whose primary weight is not above that of the blank (the blank
// itself, the other white space, the no-break space). A token without them
// sorts inside an n-gram text exactly as on its own; see SortTuples.
const std::array<bool, 256>& BlankLikeBytes() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        const std::string blank(PrimaryPart(LocaleSortKey(" ")));
        for (int b = 1; b < 256; ++b) {
            std::string key = LocaleSortKey(std::string(1, static_cast<char>(b)));
            std::string_view primary = PrimaryPart(key);
            t[static_cast<size_t>(b)] = !primary.empty() && primary <= std::string_view(blank);
        }
        t[0] = true;
        return t;
    }();
    return table;
}

// Exact bytes → token, open addressing; every distinct byte form once.
class TFormIndex {
public:
    void Clear() {
        forms_.clear();
        tokens_.clear();
        hashes_.clear();
        slots_.assign(1024, -1);
    }
    int32_t Find(std::string_view form, size_t hash) const {
        if (slots_.empty()) return -1;
        size_t mask = slots_.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            int32_t e = slots_[s];
            if (e < 0) return -1;
            if (hashes_[static_cast<size_t>(e)] == static_cast<uint32_t>(hash) && forms_[static_cast<size_t>(e)] == form)
                return tokens_[static_cast<size_t>(e)];
        }
    }
    void Insert(std::string_view form, size_t hash, int32_t token) {
        if (slots_.empty()) slots_.assign(1024, -1);
        if ((forms_.size() + 1) * 2 > slots_.size()) {
            slots_.assign(slots_.size() * 2, -1);
            for (size_t e = 0; e < forms_.size(); ++e) Place(e, std::hash<std::string_view>{}(forms_[e]));
        }
        forms_.emplace_back(form);
        tokens_.push_back(token);
        hashes_.push_back(static_cast<uint32_t>(hash));
        Place(forms_.size() - 1, hash);
    }

private:
    void Place(size_t entry, size_t hash) {
        size_t mask = slots_.size() - 1;
        size_t s = hash & mask;
        while (slots_[s] >= 0) s = (s + 1) & mask;
        slots_[s] = static_cast<int32_t>(entry);
    }
    std::vector<std::string> forms_;
    std::vector<int32_t> tokens_;
    std::vector<uint32_t> hashes_;
    std::vector<int32_t> slots_;
};

// A letter of a corpus word as it is counted: ASCII letters in upper case,
// the accented capitals (À..Þ but ×, and Š, Œ, Ž, Ÿ) as small letters, the
// form every other accented letter already has ("AÇÃO" and "ação" both give
// "AçãO"). A word first seen in capitals ("TAMBÉM", a sentence's "É") would
// otherwise keep a letter its pronunciation loses, and be typed in mixed case.
unsigned char CorpusLetter(unsigned char u) {
    if (u >= 'a' && u <= 'z') return static_cast<unsigned char>(u - 'a' + 'A');
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<unsigned char>(u + 0x20);
    switch (u) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return u;
    }
}

}  // namespace

struct TParserPortugues::TImpl {
    // ---- tokens ----
    struct TToken {
        std::string form;     // the form of its first appearance
        std::string key;      // collation key
        int32_t unigram = -1; // its entry in the unigram list, or -1
        bool blankLike = false;  // holds a byte of BlankLikeBytes
    };
    std::vector<TToken> tokens;
    TFormIndex byBytes;  // exact bytes → token
    TStringIndex byKey;  // collation key → token

    // ---- the three lists ----
    std::vector<int32_t> uniToken;
    std::vector<std::string> uniForm;  // written form of the entry's first addition
    std::vector<int32_t> uniCount;
    std::vector<std::array<int32_t, 2>> bi;
    std::vector<int32_t> biCount;
    TTupleIndex<2> biIndex{bi};
    std::vector<std::array<int32_t, 3>> tri;
    std::vector<int32_t> triCount;
    TTupleIndex<3> triIndex{tri};
    bool sorted = false;  // no addition since the last sort

    std::vector<std::string> dictionary;
    std::unordered_set<std::string, StringHash, std::equal_to<>> dictionaryWords;
    std::string folder;

    TImpl() { Reset(); }

    int32_t FindToken(std::string_view form) const {
        int32_t id = byBytes.Find(form, std::hash<std::string_view>{}(form));
        if (id >= 0) return id;
        auto k = byKey.find(LocaleSortKey(form));
        return k == byKey.end() ? -1 : k->second;
    }

    int32_t Intern(std::string_view form) {
        const size_t hash = std::hash<std::string_view>{}(form);
        int32_t id = byBytes.Find(form, hash);
        if (id >= 0) return id;
        std::string key = LocaleSortKey(form);
        auto k = byKey.find(key);
        if (k != byKey.end()) {
            id = k->second;
        } else {
            id = static_cast<int32_t>(tokens.size());
            const auto& blankLike = BlankLikeBytes();
            bool hasBlankLike = std::any_of(form.begin(), form.end(),
                                            [&](char c) { return blankLike[static_cast<unsigned char>(c)]; });
            tokens.push_back({std::string(form), key, -1, hasBlankLike});
            byKey.emplace(std::move(key), id);
        }
        byBytes.Insert(form, hash, id);
        return id;
    }

    bool IsUnigram(std::string_view form) const {
        int32_t id = FindToken(form);
        return id >= 0 && tokens[static_cast<size_t>(id)].unigram >= 0;
    }

    const std::string& TokenForm(int32_t id) const {
        const TToken& t = tokens[static_cast<size_t>(id)];
        return t.unigram >= 0 ? uniForm[static_cast<size_t>(t.unigram)] : t.form;
    }

    void CountUnigram(int32_t id, std::string_view form, int64_t n) {
        TToken& t = tokens[static_cast<size_t>(id)];
        if (t.unigram >= 0) {
            uniCount[static_cast<size_t>(t.unigram)] = AddSaturated(uniCount[static_cast<size_t>(t.unigram)], n);
            return;
        }
        t.unigram = static_cast<int32_t>(uniToken.size());
        uniToken.push_back(id);
        uniForm.emplace_back(form);
        uniCount.push_back(AddSaturated(0, n));
        sorted = false;
    }

    template <size_t N>
    static void CountTuple(const std::array<int32_t, N>& key, int64_t n, std::vector<std::array<int32_t, N>>& entries,
                           std::vector<int32_t>& counts, TTupleIndex<N>& index, bool& sortedFlag) {
        int32_t e = index.Find(key);
        if (e >= 0) {
            counts[static_cast<size_t>(e)] = AddSaturated(counts[static_cast<size_t>(e)], n);
            return;
        }
        entries.push_back(key);
        counts.push_back(AddSaturated(0, n));
        index.Insert(static_cast<int32_t>(entries.size() - 1));
        sortedFlag = false;
    }
    void CountBigram(int32_t a, int32_t b, int64_t n) { CountTuple<2>({a, b}, n, bi, biCount, biIndex, sorted); }
    void CountTrigram(int32_t a, int32_t b, int32_t c, int64_t n) {
        CountTuple<3>({a, b, c}, n, tri, triCount, triIndex, sorted);
    }

    // The split of an n-gram text into tokens: at its blanks when it has
    // exactly order − 1 of them; otherwise (a token holds blanks) the first
    // split whose pieces all are counted unigrams, else the first blanks.
    bool SplitNgram(std::string_view text, size_t order, std::vector<std::string_view>& pieces) const {
        std::vector<size_t> blanks;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == ' ') blanks.push_back(i);
        pieces.clear();
        if (blanks.size() + 1 < order) return false;
        auto cut = [&](size_t from, size_t to) { return text.substr(from, to - from); };
        if (blanks.size() + 1 > order && blanks.size() <= 32) {
            if (order == 2) {
                for (size_t p : blanks) {
                    if (IsUnigram(cut(0, p)) && IsUnigram(cut(p + 1, text.size()))) {
                        pieces = {cut(0, p), cut(p + 1, text.size())};
                        return true;
                    }
                }
            } else {
                for (size_t x = 0; x < blanks.size(); ++x) {
                    if (!IsUnigram(cut(0, blanks[x]))) continue;
                    for (size_t y = x + 1; y < blanks.size(); ++y) {
                        if (IsUnigram(cut(blanks[x] + 1, blanks[y])) && IsUnigram(cut(blanks[y] + 1, text.size()))) {
                            pieces = {cut(0, blanks[x]), cut(blanks[x] + 1, blanks[y]), cut(blanks[y] + 1, text.size())};
                            return true;
                        }
                    }
                }
            }
        }
        size_t from = 0;
        for (size_t k = 0; k + 1 < order; ++k) {
            pieces.push_back(cut(from, blanks[k]));
            from = blanks[k] + 1;
        }
        pieces.push_back(cut(from, text.size()));
        return true;
    }

    void AddNgram(const std::vector<std::string_view>& pieces, int64_t n) {
        for (auto p : pieces)
            if (p.empty()) return;  // an empty token is no word
        if (pieces.size() == 1) {
            CountUnigram(Intern(pieces[0]), pieces[0], n);
        } else if (pieces.size() == 2) {
            int32_t a = Intern(pieces[0]);
            CountBigram(a, Intern(pieces[1]), n);
        } else {
            int32_t a = Intern(pieces[0]);
            int32_t b = Intern(pieces[1]);
            CountTrigram(a, b, Intern(pieces[2]), n);
        }
    }

    // One corpus line as token ids, closed by -1; each token's unigram entry
    // is made at its first appearance (so it keeps that form) and its
    // additions are summed in unigramAdds.
    void SentenceToStream(std::string_view line, std::vector<int32_t>& stream, std::vector<int64_t>& unigramAdds) {
        auto add = [&](std::string_view form) {
            int32_t id = Intern(form);
            if (static_cast<size_t>(id) >= unigramAdds.size()) unigramAdds.resize(tokens.size() * 2, 0);
            if (tokens[static_cast<size_t>(id)].unigram < 0) CountUnigram(id, form, 0);
            ++unigramAdds[static_cast<size_t>(id)];
            stream.push_back(id);
        };
        add("<s>");
        const size_t n = line.size();
        size_t i = 0;
        std::string word;
        while (i < n) {
            while (i < n && static_cast<unsigned char>(line[i]) < 0x41) ++i;
            if (i == n) break;
            word.clear();
            while (i < n && static_cast<unsigned char>(line[i]) >= 0x41) {
                unsigned char u = static_cast<unsigned char>(line[i++]);
                word += static_cast<char>(CorpusLetter(u));
            }
            add(word);
        }
        add("</s>");
        stream.push_back(-1);
    }

    // Counts the bigrams and trigrams of a stream of sentences: the n-grams
    // are grouped by their first token (a counting sort), each group sorted,
    // and every distinct n-gram is added once with its number.
    // The unigram additions are taken over and set back to 0.
    void CountStream(const std::vector<int32_t>& stream, std::vector<int64_t>& unigramAdds) {
        for (size_t id = 0; id < unigramAdds.size(); ++id) {
            if (unigramAdds[id] == 0) continue;
            int32_t u = tokens[id].unigram;
            uniCount[static_cast<size_t>(u)] = AddSaturated(uniCount[static_cast<size_t>(u)], unigramAdds[id]);
            unigramAdds[id] = 0;
        }
        const size_t v = tokens.size(), n = stream.size();
        for (size_t order = 2; order <= 3; ++order) {
            std::vector<size_t> first(v + 1, 0);
            auto complete = [&](size_t j) {
                for (size_t k = 0; k < order; ++k)
                    if (j + k >= n || stream[j + k] < 0) return false;
                return true;
            };
            for (size_t j = 0; j < n; ++j)
                if (complete(j)) ++first[static_cast<size_t>(stream[j]) + 1];
            for (size_t a = 0; a < v; ++a) first[a + 1] += first[a];
            std::vector<uint64_t> rest(first[v]);
            std::vector<size_t> fill(first.begin(), first.end() - 1);
            for (size_t j = 0; j < n; ++j) {
                if (!complete(j)) continue;
                uint64_t tail = static_cast<uint32_t>(stream[j + 1]);
                if (order == 3) tail = tail << 32 | static_cast<uint32_t>(stream[j + 2]);
                rest[fill[static_cast<size_t>(stream[j])]++] = tail;
            }
            for (size_t a = 0; a < v; ++a) {
                auto from = rest.begin() + static_cast<std::ptrdiff_t>(first[a]);
                auto to = rest.begin() + static_cast<std::ptrdiff_t>(first[a + 1]);
                std::sort(from, to);
                for (auto it = from; it != to;) {
                    auto run = it;
                    while (run != to && *run == *it) ++run;
                    const int64_t count = run - it;
                    const int32_t id = static_cast<int32_t>(a);
                    if (order == 2) CountBigram(id, static_cast<int32_t>(*it), count);
                    else CountTrigram(id, static_cast<int32_t>(*it >> 32), static_cast<int32_t>(*it & 0xFFFFFFFFu), count);
                    it = run;
                }
            }
        }
    }

    void Reset() {
        tokens.clear();
        byBytes.Clear();
        byKey.clear();
        uniToken.clear();
        uniForm.clear();
        uniCount.clear();
        bi.clear();
        biCount.clear();
        biIndex.Clear();
        tri.clear();
        triCount.clear();
        triIndex.Clear();
        sorted = false;
    }

    std::string NgramText(const int32_t* ids, size_t order) const {
        std::string text;
        for (size_t k = 0; k < order; ++k) {
            if (k) text += ' ';
            text += TokenForm(ids[k]);
        }
        return text;
    }

    // Ranks of the tokens in collation order: rank by the whole key, and
    // primaryRank by its primary level alone.
    void RankTokens(std::vector<uint32_t>& rank, std::vector<uint32_t>& primaryRank) const {
        const size_t n = tokens.size();
        std::vector<int32_t> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
            return tokens[static_cast<size_t>(x)].key < tokens[static_cast<size_t>(y)].key;
        });
        rank.assign(n, 0);
        primaryRank.assign(n, 0);
        uint32_t p = 0;
        std::string_view previous;
        for (size_t i = 0; i < n; ++i) {
            const std::string& key = tokens[static_cast<size_t>(order[i])].key;
            std::string_view primary = PrimaryPart(key);
            if (i > 0 && primary != previous) ++p;
            previous = primary;
            rank[static_cast<size_t>(order[i])] = static_cast<uint32_t>(i);
            primaryRank[static_cast<size_t>(order[i])] = p;
        }
    }

    // Sorts one n-gram list by the collation of its whole text "t1 t2 t3".
    // A collation key compares all primary weights first, then the secondary
    // ones, so the whole text is not ordered token by token ("É B" comes
    // before "E C"). But when no token holds a blank-like byte, the blank
    // between tokens weighs less than anything that can follow inside a
    // token, and the order of the whole texts is that of the tuple
    // (primary ranks of t1, t2, t3, then full ranks of t1, t2, t3): an integer
    // sort. The few entries with blank-like tokens (command phrases with
    // blanks) get the keys of their whole texts and are merged in by binary
    // search with the same keys.
    template <size_t N>
    void SortTuples(std::vector<std::array<int32_t, N>>& entries, std::vector<int32_t>& counts,
                    TTupleIndex<N>& index, const std::vector<uint32_t>& rank,
                    const std::vector<uint32_t>& primaryRank) {
        const size_t n = entries.size();
        const bool packable = tokens.size() < (size_t{1} << 21);
        struct TPacked {
            uint64_t primary, full;
            int32_t entry;
        };
        std::vector<TPacked> plain;
        std::vector<std::pair<std::string, int32_t>> odd;  // whole-text key, entry
        plain.reserve(n);
        for (size_t e = 0; e < n; ++e) {
            bool blankLike = !packable;
            uint64_t primary = 0, full = 0;
            for (int32_t id : entries[e]) {
                blankLike = blankLike || tokens[static_cast<size_t>(id)].blankLike;
                primary = primary << 21 | primaryRank[static_cast<size_t>(id)];
                full = full << 21 | rank[static_cast<size_t>(id)];
            }
            if (blankLike) odd.emplace_back(LocaleSortKey(NgramText(entries[e].data(), N)), static_cast<int32_t>(e));
            else plain.push_back({primary, full, static_cast<int32_t>(e)});
        }
        std::sort(plain.begin(), plain.end(), [](const TPacked& x, const TPacked& y) {
            return x.primary != y.primary ? x.primary < y.primary : x.full < y.full;
        });
        std::sort(odd.begin(), odd.end());
        std::vector<int32_t> order;
        order.reserve(n);
        size_t next = 0;
        std::unordered_map<size_t, std::string> plainKeys;
        auto plainKey = [&](size_t i) -> const std::string& {
            auto it = plainKeys.find(i);
            if (it == plainKeys.end())
                it = plainKeys.emplace(i, LocaleSortKey(NgramText(entries[static_cast<size_t>(plain[i].entry)].data(), N)))
                         .first;
            return it->second;
        };
        for (const auto& [key, entry] : odd) {
            size_t lo = next, hi = plain.size();
            while (lo < hi) {
                size_t mid = lo + (hi - lo) / 2;
                if (plainKey(mid) < key) lo = mid + 1;
                else hi = mid;
            }
            for (; next < lo; ++next) order.push_back(plain[next].entry);
            order.push_back(entry);
        }
        for (; next < plain.size(); ++next) order.push_back(plain[next].entry);

        std::vector<std::array<int32_t, N>> newEntries(n);
        std::vector<int32_t> newCounts(n);
        for (size_t i = 0; i < n; ++i) {
            newEntries[i] = entries[static_cast<size_t>(order[i])];
            newCounts[i] = counts[static_cast<size_t>(order[i])];
        }
        entries.swap(newEntries);
        counts.swap(newCounts);
        index.Rebuild();
    }

    void Sort() {
        if (sorted) return;
        std::vector<uint32_t> rank, primaryRank;
        RankTokens(rank, primaryRank);
        const size_t n = uniToken.size();
        std::vector<int32_t> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
            return rank[static_cast<size_t>(uniToken[static_cast<size_t>(x)])] <
                   rank[static_cast<size_t>(uniToken[static_cast<size_t>(y)])];
        });
        std::vector<int32_t> newToken(n), newCount(n);
        std::vector<std::string> newForm(n);
        for (size_t i = 0; i < n; ++i) {
            size_t from = static_cast<size_t>(order[i]);
            newToken[i] = uniToken[from];
            newCount[i] = uniCount[from];
            newForm[i] = std::move(uniForm[from]);
            tokens[static_cast<size_t>(newToken[i])].unigram = static_cast<int32_t>(i);
        }
        uniToken.swap(newToken);
        uniCount.swap(newCount);
        uniForm.swap(newForm);
        SortTuples<2>(bi, biCount, biIndex, rank, primaryRank);
        SortTuples<3>(tri, triCount, triIndex, rank, primaryRank);
        sorted = true;
    }

    std::string File(const char* name) const { return folder + name; }
};

TParserPortugues::TParserPortugues() : impl_(std::make_unique<TImpl>()) {}
TParserPortugues::~TParserPortugues() = default;

void TParserPortugues::ResetCounts() {
    impl_->Reset();
    AddCountLine("1\t<s>");
    AddCountLine("1\t</s>");
    AddCountLine("1\t<s> </s>");
}

void TParserPortugues::AddUnigram(std::string_view text) { impl_->AddNgram({text}, 1); }

void TParserPortugues::AddBigram(std::string_view text) {
    std::vector<std::string_view> pieces;
    if (impl_->SplitNgram(text, 2, pieces)) impl_->AddNgram(pieces, 1);
}

void TParserPortugues::AddTrigram(std::string_view text) {
    std::vector<std::string_view> pieces;
    if (impl_->SplitNgram(text, 3, pieces)) impl_->AddNgram(pieces, 1);
}

void TParserPortugues::AddSentence(std::string_view line) {
    // Bytes below "A" are blanks, so the words are the runs of bytes from "A"
    // up, in the letters' counted form.
    thread_local std::string text;
    text.assign(line);
    for (char& c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        c = u < 0x41 ? ' ' : static_cast<char>(CorpusLetter(u));
    }
    TImpl& m = *impl_;
    thread_local std::vector<int32_t> ids;
    thread_local std::vector<std::string_view> forms;
    ids.clear();
    forms.clear();
    forms.emplace_back("<s>");
    ids.push_back(m.Intern("<s>"));
    for (size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < text.size() && text[j] != ' ') ++j;
        std::string_view word(text.data() + i, j - i);
        forms.push_back(word);
        ids.push_back(m.Intern(word));
        i = j;
    }
    forms.emplace_back("</s>");
    ids.push_back(m.Intern("</s>"));
    const size_t k = ids.size();
    for (size_t j = 0; j < k; ++j) {
        m.CountUnigram(ids[j], forms[j], 1);
        if (j + 1 < k) m.CountBigram(ids[j], ids[j + 1], 1);
        if (j + 2 < k) m.CountTrigram(ids[j], ids[j + 1], ids[j + 2], 1);
    }
}

void TParserPortugues::AddCountLine(std::string_view line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty()) return;
    TParsedString fields = ParseString(trimmed, '\t');
    if (fields.Count != 2) return;
    const int32_t n = StrToInt(fields.Items[0]);
    const std::string& ngram = fields.Items[1];
    size_t blanks = static_cast<size_t>(std::count(ngram.begin(), ngram.end(), ' '));
    if (blanks > 2 || n <= 0) return;
    // Count lines carry written forms; the tokens are the words they stand for.
    std::vector<std::string> words;
    size_t from = 0;
    for (size_t k = 0; k <= blanks; ++k) {
        size_t to = k < blanks ? ngram.find(' ', from) : ngram.size();
        words.push_back(WordFromWrittenForm(std::string_view(ngram).substr(from, to - from)));
        from = to + 1;
    }
    std::vector<std::string_view> views(words.begin(), words.end());
    impl_->AddNgram(views, n);
}

void TParserPortugues::LoadCorpusFile(const std::string& fileName) {
    const std::string bytes = ReadTextFile(fileName);
    TImpl& m = *impl_;
    // The file is counted in batches: first sentences become runs of token ids
    // (unigrams counted on the way), then their bigrams and trigrams are
    // counted by sorting instead of one hash probe per word.
    // The result is that of AddSentence for every line; the order of first
    // addition does not show, as the lists are sorted at the end.
    std::vector<int32_t> stream;
    stream.reserve(std::min(bytes.size() / 5 + 16, size_t{1} << 21));
    std::vector<int64_t> unigramAdds;
    // Counted in slices of about two million words, so that the memory the
    // batch needs stays the same for any size of corpus.
    constexpr size_t kSlice = size_t{1} << 21;
    auto sentence = [&](std::string_view line) {
        m.SentenceToStream(line, stream, unigramAdds);
        if (stream.size() >= kSlice) {
            m.CountStream(stream, unigramAdds);
            stream.clear();
        }
    };
    size_t start = 0, i = 0;
    const size_t size = bytes.size();
    while (i < size) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            sentence(std::string_view(bytes).substr(start, i - start));
            if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < size) sentence(std::string_view(bytes).substr(start));
    m.CountStream(stream, unigramAdds);
    SortNgrams();
}

void TParserPortugues::SortNgrams() { impl_->Sort(); }

void TParserPortugues::AddDictionaryLine(std::string_view line) {
    std::string trimmed = Trim(line);
    if (trimmed.empty()) return;
    size_t tab = trimmed.find('\t');
    if (tab == std::string::npos || trimmed.find('\t', tab + 1) != std::string::npos) return;
    std::string_view word = std::string_view(trimmed).substr(0, tab);
    if (impl_->dictionaryWords.find(word) != impl_->dictionaryWords.end()) return;
    impl_->dictionaryWords.emplace(word);
    impl_->dictionary.push_back(std::move(trimmed));
}

void TParserPortugues::AddDictionaryEntry(std::string_view word, std::string_view pronunciation) {
    std::string p(pronunciation);
    for (char& c : p)
        if (c == '\t') c = ' ';
    if (word.find('\t') == std::string_view::npos) {
        AddDictionaryLine(std::string(word) + "\t" + p);
        return;
    }
    std::string w = Trim(word);
    p = Trim(p);
    if (w.empty() || p.empty() || impl_->dictionaryWords.find(w) != impl_->dictionaryWords.end()) return;
    impl_->dictionaryWords.emplace(w);
    impl_->dictionary.push_back(w + "\t" + p);
}

void TParserPortugues::AddBundleLines(const std::vector<std::string>& lines) {
    size_t i = 0;
    for (; i < lines.size() && lines[i] != kMarkerEndUbt; ++i) AddCountLine(lines[i]);
    for (; i < lines.size() && lines[i] != kMarkerEndDic; ++i) {
        // The bundle holds words in their written form.
        std::string trimmed = Trim(lines[i]);
        size_t tab = trimmed.find('\t');
        if (tab == std::string::npos) continue;
        AddDictionaryLine(WordFromWrittenForm(std::string_view(trimmed).substr(0, tab)) + trimmed.substr(tab));
    }
}

void TParserPortugues::WriteDictionary() {
    TImpl& m = *impl_;
    for (const std::string& word : m.uniForm) {
        if (word == "<S>" || word == "</S>" || word == "<s>" || word == "</s>") continue;
        if (m.dictionaryWords.find(word) != m.dictionaryWords.end()) continue;
        AddDictionaryEntry(word, TextToPhonemes(word));
    }
    std::string out;
    for (const std::string& line : m.dictionary) {
        // A phrase may hold tabs; a pronunciation never does.
        size_t tab = line.rfind('\t');
        out += WrittenForm(std::string_view(line).substr(0, tab));
        out.append(line, tab);
        out += "\r\n";
    }
    WriteFileAtomic(m.File(kDictionaryFileName), out);
}

void TParserPortugues::WriteLanguageModel() {
    TImpl& m = *impl_;
    m.Sort();
    const float D = 0.5f;
    const float F = 1.0f - D;
    const float L = static_cast<float>(std::log(10.0L));
    const size_t nU = m.uniToken.size(), nB = m.bi.size(), nT = m.tri.size();

    // Base-10 logarithms as ln(x) / L; a probability never above 1, never 0.
    auto logProb = [L](long double p) -> long double {
        if (!(p > 0)) return -99.0L;
        if (p >= 1) return 0.0L;
        long double v = std::log(p) / static_cast<long double>(L);
        return std::isfinite(v) && v > -99.0L ? v : -99.0L;
    };
    // A back-off weight D / (1 − S); S stays at most 0.5 while the counts are
    // consistent; beyond that the weight is held at 1.
    auto backoff = [D](float s) -> float {
        if (!(s <= 0.5f)) return 1.0f;
        return static_cast<float>(static_cast<long double>(D) / (1.0L - static_cast<long double>(s)));
    };
    auto uniOf = [&](int32_t id) { return m.tokens[static_cast<size_t>(id)].unigram; };

    int64_t T = 0;
    for (int32_t c : m.uniCount) T += c;

    std::vector<float> P1(nU), S1(nU, 0.0f);
    for (size_t i = 0; i < nU; ++i)
        P1[i] = static_cast<float>(static_cast<long double>(m.uniCount[i]) / static_cast<long double>(T) * F);

    // A bigram is written when both its tokens are unigrams; a trigram when
    // its history is a written bigram and its last token a unigram.
    std::vector<uint8_t> biWritten(nB, 0);
    std::vector<float> P2(nB, 0.0f), S2(nB, 0.0f);
    size_t writtenB = 0;
    for (size_t j = 0; j < nB; ++j) {
        int32_t u1 = uniOf(m.bi[j][0]), u2 = uniOf(m.bi[j][1]);
        if (u1 < 0 || u2 < 0) continue;
        biWritten[j] = 1;
        ++writtenB;
        S1[static_cast<size_t>(u1)] = S1[static_cast<size_t>(u1)] + P1[static_cast<size_t>(u2)];
        float p = static_cast<float>(static_cast<long double>(m.biCount[j]) * F /
                                     static_cast<long double>(m.uniCount[static_cast<size_t>(u1)]));
        P2[j] = std::min(p, 1.0f);
    }
    std::vector<int32_t> triHistory(nT, -1);
    size_t writtenT = 0;
    for (size_t j = 0; j < nT; ++j) {
        const auto& t = m.tri[j];
        int32_t h = m.biIndex.Find({t[0], t[1]});
        if (h < 0 || !biWritten[static_cast<size_t>(h)] || uniOf(t[2]) < 0) continue;
        triHistory[j] = h;
        ++writtenT;
        int32_t g = m.biIndex.Find({t[1], t[2]});
        if (g >= 0 && biWritten[static_cast<size_t>(g)])
            S2[static_cast<size_t>(h)] = S2[static_cast<size_t>(h)] + P2[static_cast<size_t>(g)];
    }

    std::vector<std::string> written(m.tokens.size());
    for (size_t id = 0; id < m.tokens.size(); ++id) written[id] = WrittenForm(m.TokenForm(static_cast<int32_t>(id)));

    std::string out;
    out.reserve(64 + nU * 32 + writtenB * 40 + writtenT * 40);
    out += "Modelo de linguagem criado pelo ParserPortugu\xEAs\r\n";
    out += "Criado com base no script QuickLM\r\n";
    out += "\r\n";
    out += "\\data\\\r\n";
    // The header names only the orders written: a reader refuses a declared
    // order without its section, and counts that differ from the lines.
    const int maxOrder = writtenT > 0 ? 3 : (writtenB > 0 ? 2 : 1);
    out += "ngram 1=" + std::to_string(nU) + "\r\n";
    if (maxOrder >= 2) out += "ngram 2=" + std::to_string(writtenB) + "\r\n";
    if (maxOrder >= 3) out += "ngram 3=" + std::to_string(writtenT) + "\r\n";
    out += "\r\n";
    out += "\\1-grams:\r\n";
    for (size_t i = 0; i < nU; ++i) {
        AppendNumber(out, logProb(P1[i]));
        out += ' ';
        out += written[static_cast<size_t>(m.uniToken[i])];
        out += ' ';
        AppendNumber(out, logProb(backoff(S1[i])));
        out += "\r\n";
    }
    out += "\r\n";
    if (maxOrder >= 2) {
        out += "\\2-grams:\r\n";
        for (size_t j = 0; j < nB; ++j) {
            if (!biWritten[j]) continue;
            AppendNumber(out, logProb(P2[j]));
            out += ' ';
            out += written[static_cast<size_t>(m.bi[j][0])];
            out += ' ';
            out += written[static_cast<size_t>(m.bi[j][1])];
            out += ' ';
            AppendNumber(out, logProb(backoff(S2[j])));
            out += "\r\n";
        }
        out += "\r\n";
    }
    if (maxOrder >= 3) {
        out += "\\3-grams:\r\n";
        for (size_t j = 0; j < nT; ++j) {
            int32_t h = triHistory[j];
            if (h < 0) continue;
            long double p3 = static_cast<long double>(m.triCount[j]) * F /
                             static_cast<long double>(m.biCount[static_cast<size_t>(h)]);
            AppendNumber(out, logProb(p3));
            for (int k = 0; k < 3; ++k) {
                out += ' ';
                out += written[static_cast<size_t>(m.tri[j][static_cast<size_t>(k)])];
            }
            out += "\r\n";
        }
    }
    out += "\r\n";
    out += "\\end\\\r\n";
    WriteFileAtomic(m.File(kLanguageModelFileName), out);
}

void TParserPortugues::WriteCountFile() {
    const TImpl& m = *impl_;
    std::vector<std::string> written(m.tokens.size());
    for (size_t id = 0; id < m.tokens.size(); ++id) written[id] = WrittenForm(m.TokenForm(static_cast<int32_t>(id)));
    std::string out;
    out.reserve(64 + m.uniToken.size() * 16 + m.bi.size() * 24 + m.tri.size() * 32);
    auto line = [&out](int32_t count) {
        out += std::to_string(count);
        out += '\t';
    };
    out += kMarkerUni;
    out += "\r\n";
    for (size_t i = 0; i < m.uniToken.size(); ++i) {
        line(m.uniCount[i]);
        out += WrittenForm(m.uniForm[i]);
        out += "\r\n";
    }
    out += "\r\n";
    out += kMarkerBi;
    out += "\r\n";
    for (size_t j = 0; j < m.bi.size(); ++j) {
        line(m.biCount[j]);
        out += written[static_cast<size_t>(m.bi[j][0])];
        out += ' ';
        out += written[static_cast<size_t>(m.bi[j][1])];
        out += "\r\n";
    }
    out += "\r\n";
    out += kMarkerTri;
    out += "\r\n";
    for (size_t j = 0; j < m.tri.size(); ++j) {
        line(m.triCount[j]);
        for (int k = 0; k < 3; ++k) {
            if (k) out += ' ';
            out += written[static_cast<size_t>(m.tri[j][static_cast<size_t>(k)])];
        }
        out += "\r\n";
    }
    out += kMarkerEndUbt;
    out += "\r\n";
    WriteFileAtomic(m.File(kCountFileName), out);
}

void TParserPortugues::WriteModelBundle() {
    const TImpl& m = *impl_;
    // Both files are read whole before anything is written.
    const std::string counts = ReadFileBytes(m.File(kCountFileName));
    const std::string dictionary = ReadFileBytes(m.File(kDictionaryFileName));
    std::string out;
    out.reserve(counts.size() + dictionary.size() + 64);
    auto appendLines = [&out](std::string_view bytes) {
        size_t start = 0, i = 0;
        while (i < bytes.size()) {
            char c = bytes[i];
            if (c == '\r' || c == '\n') {
                out.append(bytes.substr(start, i - start));
                out += "\r\n";
                if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                start = ++i;
            } else {
                ++i;
            }
        }
        if (start < bytes.size()) {
            out.append(bytes.substr(start));
            out += "\r\n";
        }
    };
    appendLines(counts);
    out += kMarkerDic;
    out += "\r\n";
    appendLines(dictionary);
    out += kMarkerEndDic;
    out += "\r\n";
    WriteFileAtomic(m.File(kBundleFileName), out);
}

void TParserPortugues::GenerateModelFiles(std::string_view folder) {
    std::string f(folder);
    if (f.empty()) f = ".";
    if (f.back() != '/' && f.back() != '\\') f += '/';
    impl_->folder = f;
    WriteDictionary();
    WriteLanguageModel();
    WriteCountFile();
    WriteModelBundle();
}

const std::string& TParserPortugues::Folder() const { return impl_->folder; }

std::vector<std::string> TParserPortugues::Unigrams() const { return impl_->uniForm; }

std::vector<std::string> TParserPortugues::Bigrams() const {
    std::vector<std::string> out;
    out.reserve(impl_->bi.size());
    for (const auto& b : impl_->bi) out.push_back(impl_->NgramText(b.data(), 2));
    return out;
}

std::vector<std::string> TParserPortugues::Trigrams() const {
    std::vector<std::string> out;
    out.reserve(impl_->tri.size());
    for (const auto& t : impl_->tri) out.push_back(impl_->NgramText(t.data(), 3));
    return out;
}

std::vector<int32_t> TParserPortugues::UnigramCounts() const { return impl_->uniCount; }
std::vector<int32_t> TParserPortugues::BigramCounts() const { return impl_->biCount; }
std::vector<int32_t> TParserPortugues::TrigramCounts() const { return impl_->triCount; }
int32_t TParserPortugues::NumUnigrams() const { return static_cast<int32_t>(impl_->uniToken.size()); }
int32_t TParserPortugues::NumBigrams() const { return static_cast<int32_t>(impl_->bi.size()); }
int32_t TParserPortugues::NumTrigrams() const { return static_cast<int32_t>(impl_->tri.size()); }
const std::vector<std::string>& TParserPortugues::Dictionary() const { return impl_->dictionary; }

}  // namespace zel
