#include "recognition/ArpaCheck.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

// The engine keeps n-gram counts in 32 bits and orders in a handful.
constexpr long long kMaxCount = 0x7FFFFFFF;
constexpr int kMaxOrder = 9;

// A line as the engine reads it: without the white space at its ends (a NUL
// byte, refused before, would end it).
constexpr const char* kSpace = " \t\r\n\v\f";

std::string_view TrimLine(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    size_t start = line.find_first_not_of(kSpace);
    if (start == std::string_view::npos) return {};
    return line.substr(start, line.find_last_not_of(kSpace) - start + 1);
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < line.size()) {
        size_t start = line.find_first_not_of(kSpace, at);
        if (start == std::string_view::npos) break;
        size_t end = line.find_first_of(kSpace, start);
        if (end == std::string_view::npos) end = line.size();
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

bool IsNumber(std::string_view field) {
    std::string text(field);
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && errno == 0 && std::isfinite(v);
}

// A whole decimal number in [0, max], or -1.
long long WholeNumber(std::string_view text, long long max) {
    if (text.empty() || text.size() > 12) return -1;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v <= max ? v : -1;
}

// "\N-grams:" → N, else 0.
int SectionOrder(std::string_view line) {
    const std::string_view tail = "-grams:";
    if (line.size() < tail.size() + 2 || line.front() != '\\' || line.substr(line.size() - tail.size()) != tail) return 0;
    long long n = WholeNumber(line.substr(1, line.size() - tail.size() - 1), kMaxOrder);
    return n > 0 ? static_cast<int>(n) : 0;
}

}  // namespace

void CheckArpaModel(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(NativePath(fileName), ec)) return;  // the engine says what is missing
    std::ifstream in(NativePath(fileName), std::ios::binary);
    if (!in) return;

    const std::string refused = Utf8ToCp1252("O reconhecedor recusou o modelo: ");
    long long lineNo = 0;
    auto fail = [&](const std::string& why) {
        throw TError(refused + FileNameForDisplay(fileName) + ", linha " + std::to_string(lineNo) + ": " + Utf8ToCp1252(why));
    };

    std::vector<long long> declared;
    std::vector<long long> listed;  // lines of each section read so far
    auto mismatch = [&] {
        throw TError(refused + FileNameForDisplay(fileName) + Utf8ToCp1252(" declara ") + std::to_string(declared[listed.size() - 1]) + " " +
                     std::to_string(listed.size()) + Utf8ToCp1252("-gramas e lista ") + std::to_string(listed.back()));
    };

    // The engine's line reader splits a line with a NUL byte at a boundary of
    // its buffer, so where its lines begin cannot be told: a text model with
    // a NUL byte is refused. Binary models are the engine's to read.
    {
        std::string head(64, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<size_t>(in.gcount()));
        if (head.rfind("Trie Language Model", 0) == 0 || head.find("Darpa Trigram LM") != std::string::npos) return;
        in.clear();
        in.seekg(0);
    }
    std::string raw;
    bool data = false;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (raw.find('\0') != std::string::npos) fail("byte nulo num modelo de texto");
        if (TrimLine(raw) == "\\data\\") {
            data = true;
            break;
        }
    }
    if (!data) return;

    // The header: one count for each order from 1 up.
    int section = 0;  // the order whose lines are being read
    bool ended = false;
    while (!ended && std::getline(in, raw)) {
        ++lineNo;
        if (raw.find('\0') != std::string::npos) fail("byte nulo num modelo de texto");
        std::string_view line = TrimLine(raw);
        if (line.empty()) continue;
        if (line == "\\end\\") {
            ended = true;
            break;
        }
        if (int order = SectionOrder(line)) {
            if (declared.empty()) fail("seção de n-gramas antes das contagens do cabeçalho");
            if (order != section + 1 || order > static_cast<int>(declared.size()))
                fail("seção \"" + std::string(line) + "\" fora de ordem ou não declarada");
            if (section > 0 && listed.back() != declared[static_cast<size_t>(section - 1)]) mismatch();
            section = order;
            listed.push_back(0);
            continue;
        }
        if (section == 0) {
            // "ngram N=COUNT", exactly: the engine stops reading counts at the
            // first line of another shape (a blank before the line, or around
            // the "=").
            size_t eq = line.find('=');
            if (raw.rfind("ngram ", 0) != 0 || eq == std::string_view::npos)
                fail("esperado \"ngram N=quantidade\" ou \"\\1-grams:\", encontrado \"" + Cp1252ToUtf8(std::string(line.substr(0, 40))) + "\"");
            std::string_view orderText = line.substr(6, eq - 6);
            orderText.remove_prefix(std::min(orderText.find_first_not_of(' '), orderText.size()));
            long long order = WholeNumber(orderText, kMaxOrder);
            long long count = WholeNumber(line.substr(eq + 1), kMaxCount);
            if (order < 0 || count < 0)
                fail("esperado \"ngram N=quantidade\", encontrado \"" + Cp1252ToUtf8(std::string(line.substr(0, 40))) + "\"");
            if (order != static_cast<long long>(declared.size()) + 1)
                fail("ordem de n-grama fora de sequência no cabeçalho");
            if (order == 1 && count == 0) fail("o modelo declara 0 unigramas");
            declared.push_back(count);
            continue;
        }
        // An n-gram: probability, N words, perhaps a back-off weight.
        auto fields = Fields(line);
        const size_t n = static_cast<size_t>(section);
        if (fields.size() != n + 1 && fields.size() != n + 2)
            fail("um " + std::to_string(section) + "-grama tem " + std::to_string(fields.size()) + " campos (esperados " +
                 std::to_string(n + 1) + " ou " + std::to_string(n + 2) + ")");
        if (!IsNumber(fields.front()) || (fields.size() == n + 2 && !IsNumber(fields.back())))
            fail("número inválido num " + std::to_string(section) + "-grama");
        if (++listed.back() > declared[n - 1]) {
            --listed.back();
            // Read on only to say how many there are.
            long long more = 1;
            while (std::getline(in, raw)) {
                std::string_view l = TrimLine(raw);
                if (l.empty()) continue;
                if (l.front() == '\\') break;
                ++more;
            }
            listed.back() += more;
            mismatch();
        }
    }
    if (declared.empty()) fail("sem contagens de n-gramas depois de \\data\\");
    if (section > 0 && listed.back() != declared[static_cast<size_t>(section - 1)]) mismatch();
    if (section < static_cast<int>(declared.size()))
        fail("falta a seção \\" + std::to_string(section + 1) + "-grams:");
    if (!ended) fail("falta \\end\\ no fim do modelo");
}

}  // namespace zel
