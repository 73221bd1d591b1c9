#include "NaiveModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "commands/LocaleCollator.h"
#include "commands/ParseString.h"
#include "commands/TextUtil.h"
#include "langmodel/ParserPortugues.h"

namespace zeltest {
namespace {

int Find(const std::vector<std::string>& list, std::string_view text) {
    for (size_t i = 0; i < list.size(); ++i)
        if (zel::LocaleEqual(list[i], text)) return static_cast<int>(i);
    return -1;
}

std::string Number(long double v) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v), std::chars_format::fixed, 4);
    std::string s(buffer, r.ptr);
    while (s.size() < 6) s.insert(s.begin(), ' ');
    return s;
}

std::string Piece(const zel::TParsedString& p, int i) { return i < p.Count ? p.Items[static_cast<size_t>(i)] : ""; }

}  // namespace

void TNaiveModel::Add(std::vector<std::string>& list, std::vector<int32_t>& counts, std::string_view text, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        int i = Find(list, text);
        if (i >= 0) {
            ++counts[static_cast<size_t>(i)];
        } else {
            list.emplace_back(text);
            counts.push_back(1);
        }
    }
}

void TNaiveModel::ResetCounts() {
    uni_.clear(), bi_.clear(), tri_.clear();
    uniCount_.clear(), biCount_.clear(), triCount_.clear();
    AddCountLine("1\t<s>");
    AddCountLine("1\t</s>");
    AddCountLine("1\t<s> </s>");
}

void TNaiveModel::AddSentence(std::string_view line) {
    std::string s(line);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x41) c = ' ';
    s = zel::AsciiUpper(zel::Trim(s));
    // The accented capitals (À..Þ but ×, Š, Œ, Ž, Ÿ) become small letters.
    for (char& c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0xC0 && u <= 0xDE && u != 0xD7) c = static_cast<char>(u + 0x20);
        else if (u == 0x8A || u == 0x8C || u == 0x8E) c = static_cast<char>(u + 0x10);
        else if (u == 0x9F) c = static_cast<char>(0xFF);
    }
    s = "<s> " + s + " </s>";
    size_t i = 0;
    while (i + 1 < s.size()) {
        if (s[i] == ' ' && s[i + 1] == ' ') s.erase(i + 1, 1);
        else ++i;
    }
    zel::TParsedString t = zel::ParseString(s, ' ');
    for (int j = 0; j < t.Count; ++j) {
        AddUnigram(t.Items[static_cast<size_t>(j)]);
        if (j + 1 < t.Count) AddBigram(t.Items[static_cast<size_t>(j)] + " " + t.Items[static_cast<size_t>(j + 1)]);
        if (j + 2 < t.Count)
            AddTrigram(t.Items[static_cast<size_t>(j)] + " " + t.Items[static_cast<size_t>(j + 1)] + " " +
                       t.Items[static_cast<size_t>(j + 2)]);
    }
}

void TNaiveModel::AddCountLine(std::string_view line) {
    std::string s = zel::Trim(line);
    if (s.empty()) return;
    zel::TParsedString f = zel::ParseString(s, '\t');
    if (f.Count != 2) return;
    int32_t n = zel::StrToInt(f.Items[0]);
    auto blanks = std::count(f.Items[1].begin(), f.Items[1].end(), ' ');
    if (blanks == 0) Add(uni_, uniCount_, f.Items[1], n);
    else if (blanks == 1) Add(bi_, biCount_, f.Items[1], n);
    else if (blanks == 2) Add(tri_, triCount_, f.Items[1], n);
}

void TNaiveModel::SortNgrams() {
    auto sortList = [](std::vector<std::string>& list, std::vector<int32_t>& counts) {
        std::vector<size_t> order(list.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return zel::LocaleCompare(list[a], list[b]) < 0; });
        std::vector<std::string> l;
        std::vector<int32_t> c;
        for (size_t i : order) l.push_back(list[i]), c.push_back(counts[i]);
        list = l, counts = c;
    };
    sortList(uni_, uniCount_);
    sortList(bi_, biCount_);
    sortList(tri_, triCount_);
}

void TNaiveModel::AddDictionaryLine(std::string_view line) {
    std::string s = zel::Trim(line);
    if (s.empty()) return;
    zel::TParsedString f = zel::ParseString(s, '\t');
    if (f.Count != 2) return;
    for (const auto& d : dictionary_)
        if (zel::ParseString(d, '\t').Items[0] == f.Items[0]) return;
    dictionary_.push_back(s);
}

std::string TNaiveModel::Dictionary() {
    for (const auto& u : uni_)
        if (u != "<S>" && u != "</S>" && u != "<s>" && u != "</s>")
            AddDictionaryLine(u + "\t" + zel::TParserPortugues::TextToPhonemes(u));
    std::string out;
    for (const auto& d : dictionary_) out += d + "\r\n";
    return out;
}

std::string TNaiveModel::Mended(const std::string& ngram) const {
    if (!mendForms_) return ngram;
    zel::TParsedString p = zel::ParseString(ngram, ' ');
    std::string out;
    for (int i = 0; i < p.Count; ++i) {
        int u = Find(uni_, p.Items[static_cast<size_t>(i)]);
        out += (i ? " " : "") + (u >= 0 ? uni_[static_cast<size_t>(u)] : p.Items[static_cast<size_t>(i)]);
    }
    return out;
}

std::string TNaiveModel::LanguageModel() {
    SortNgrams();
    std::vector<std::string> bi, tri;
    for (const auto& b : bi_) bi.push_back(Mended(b));
    for (const auto& t : tri_) tri.push_back(Mended(t));
    const float D = 0.5f, F = 1.0f - D, L = static_cast<float>(std::log(10.0L));
    auto lg = [L](long double v) { return std::log(v) / static_cast<long double>(L); };
    int64_t T = 0;
    for (int32_t c : uniCount_) T += c;
    size_t nU = uni_.size(), nB = bi.size(), nT = tri.size();
    std::vector<float> P1(nU), A1(nU), P2(nB), A2(nB);
    for (size_t i = 0; i < nU; ++i)
        P1[i] = static_cast<float>(static_cast<long double>(uniCount_[i]) / static_cast<long double>(T) * F);
    for (size_t i = 0; i < nU; ++i) {
        float S = 0;
        for (size_t j = 0; j < nB; ++j) {
            zel::TParsedString p = zel::ParseString(bi[j], ' ');
            if (Piece(p, 0) != uni_[i]) continue;
            for (size_t k = 0; k < nU; ++k)
                if (uni_[k] == Piece(p, 1)) {
                    S = S + P1[k];
                    break;
                }
        }
        A1[i] = static_cast<float>(static_cast<long double>(D) / (1.0L - S));
    }
    for (size_t i = 0; i < nB; ++i) {
        zel::TParsedString p = zel::ParseString(bi[i], ' ');
        int k = Find(uni_, Piece(p, 0));
        P2[i] = static_cast<float>(static_cast<long double>(biCount_[i]) * F /
                                   static_cast<long double>(uniCount_[static_cast<size_t>(k)]));
    }
    for (size_t i = 0; i < nB; ++i) {
        float S = 0;
        for (size_t j = 0; j < nT; ++j) {
            zel::TParsedString p = zel::ParseString(tri[j], ' ');
            if (Piece(p, 0) + " " + Piece(p, 1) != bi[i]) continue;
            std::string rest = Piece(p, 1) + " " + Piece(p, 2);
            for (size_t k = 0; k < nB; ++k)
                if (bi[k] == rest) {
                    S = S + P2[k];
                    break;
                }
        }
        A2[i] = static_cast<float>(static_cast<long double>(D) / (1.0L - S));
    }
    std::string out = "Modelo de linguagem criado pelo ParserPortugu\xEAs\r\nCriado com base no script QuickLM\r\n\r\n";
    out += "\\data\\\r\nngram 1=" + std::to_string(nU) + "\r\nngram 2=" + std::to_string(nB) + "\r\n";
    if (nT > 0) out += "ngram 3=" + std::to_string(nT) + "\r\n";  // a model without trigrams is a bigram model
    out += "\r\n\\1-grams:\r\n";
    for (size_t i = 0; i < nU; ++i) out += Number(lg(P1[i])) + " " + uni_[i] + " " + Number(lg(A1[i])) + "\r\n";
    out += "\r\n\\2-grams:\r\n";
    for (size_t i = 0; i < nB; ++i) out += Number(lg(P2[i])) + " " + bi[i] + " " + Number(lg(A2[i])) + "\r\n";
    out += "\r\n";
    if (nT > 0) {
        out += "\\3-grams:\r\n";
        for (size_t i = 0; i < nT; ++i) {
            zel::TParsedString p = zel::ParseString(tri[i], ' ');
            int k = Find(bi_, Piece(p, 0) + " " + Piece(p, 1));
            long double p3 = static_cast<long double>(triCount_[i]) * F /
                             static_cast<long double>(biCount_[static_cast<size_t>(k)]);
            out += Number(lg(p3)) + " " + tri[i] + "\r\n";
        }
    }
    out += "\r\n\\end\\\r\n";
    return out;
}

std::string TNaiveModel::CountFile() const {
    std::string out = "### UNI ###\r\n";
    for (size_t i = 0; i < uni_.size(); ++i) out += std::to_string(uniCount_[i]) + "\t" + uni_[i] + "\r\n";
    out += "\r\n### BI ###\r\n";
    for (size_t i = 0; i < bi_.size(); ++i) out += std::to_string(biCount_[i]) + "\t" + Mended(bi_[i]) + "\r\n";
    out += "\r\n### TRI ###\r\n";
    for (size_t i = 0; i < tri_.size(); ++i) out += std::to_string(triCount_[i]) + "\t" + Mended(tri_[i]) + "\r\n";
    out += "### ENDUBT ###\r\n";
    return out;
}

}  // namespace zeltest
