#include "recognition/training/SphinxModelFiles.h"

#include <bit>
#include <cstring>
#include <sstream>

#include "commands/Cp1252.h"
#include "commands/ZelError.h"

namespace zel {

namespace {

uint32_t Swap32(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24); }

// The words after the header of a binary model file.
class TWords {
public:
    TWords(std::string_view bytes, const std::string& fileName) : bytes_(bytes), name_(fileName) {
        const size_t end = bytes.find("endhdr\n");
        if (bytes.substr(0, 3) != "s3\n" || end == std::string_view::npos) Bad("cabeçalho desconhecido");
        at_ = end + 7;
        const uint32_t mark = Next();
        if (mark == 0x44332211) swap_ = true;
        else if (mark != 0x11223344) Bad("ordem de bytes desconhecida");
    }
    uint32_t Next() {
        if (bytes_.size() - at_ < 4) Bad("arquivo truncado");
        uint32_t v;
        std::memcpy(&v, bytes_.data() + at_, 4);
        at_ += 4;
        return swap_ ? Swap32(v) : v;
    }
    // count floats, after their count word, which must say count.
    std::vector<float> Floats(size_t count) {
        if (Next() != count) Bad("contagem incoerente");
        if ((bytes_.size() - at_) / 4 < count) Bad("arquivo truncado");
        std::vector<float> out(count);
        for (float& f : out) f = std::bit_cast<float>(Next());
        return out;
    }
    [[noreturn]] void Bad(const char* why) const {
        throw TError(Utf8ToCp1252("Modelo acústico ilegível em ") + name_ + ": " + Utf8ToCp1252(why));
    }

private:
    std::string_view bytes_;
    const std::string& name_;
    size_t at_ = 0;
    bool swap_ = false;
};

void Put32(std::string& out, uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) v = Swap32(v);
    char b[4];
    std::memcpy(b, &v, 4);
    out.append(b, 4);
}

}  // namespace

size_t TGaussians::Offset(uint32_t codebook, uint32_t stream, uint32_t density) const {
    size_t perCodebook = 0, before = 0;
    for (uint32_t f = 0; f < Streams; ++f) {
        perCodebook += size_t(VecLen[f]) * Densities;
        if (f < stream) before += size_t(VecLen[f]) * Densities;
    }
    return codebook * perCodebook + before + size_t(density) * VecLen[stream];
}

TGaussians ReadGaussians(std::string_view bytes, const std::string& fileName) {
    TWords in(bytes, fileName);
    TGaussians g;
    g.Codebooks = in.Next();
    g.Streams = in.Next();
    g.Densities = in.Next();
    if (g.Codebooks == 0 || g.Codebooks > 100000 || g.Streams == 0 || g.Streams > 16 || g.Densities == 0 ||
        g.Densities > 4096)
        in.Bad("contagens fora do limite");
    size_t total = 0;
    for (uint32_t f = 0; f < g.Streams; ++f) {
        g.VecLen.push_back(in.Next());
        if (g.VecLen.back() == 0 || g.VecLen.back() > 1024) in.Bad("contagens fora do limite");
        total += g.VecLen.back();
    }
    g.Values = in.Floats(size_t(g.Codebooks) * g.Densities * total);
    return g;
}

std::string SphinxBinaryFile(const std::vector<uint32_t>& counts, const std::vector<float>& values) {
    std::string out = "s3\nversion 1.0\nchksum0 yes\n";
    // The values start on a 4-byte boundary: blanks before "endhdr".
    const std::string end = "endhdr\n";
    while ((out.size() + end.size()) % 4 != 0) out += ' ';
    out += end;
    Put32(out, 0x11223344);
    const size_t body = out.size();
    for (uint32_t v : counts) Put32(out, v);
    Put32(out, static_cast<uint32_t>(values.size()));
    for (float v : values) Put32(out, std::bit_cast<uint32_t>(v));
    // The checksum rotates left by 20 bits before adding each word after the mark.
    uint32_t sum = 0;
    for (size_t at = body; at < out.size(); at += 4) {
        uint32_t word;
        std::memcpy(&word, out.data() + at, 4);
        if constexpr (std::endian::native == std::endian::big) word = Swap32(word);
        sum = ((sum << 20) | (sum >> 12)) + word;
    }
    Put32(out, sum);
    return out;
}

bool IsWholeSphinxBinaryFile(std::string_view bytes) {
    const size_t end = bytes.find("endhdr\n");
    if (bytes.substr(0, 3) != "s3\n" || end == std::string_view::npos) return false;
    const size_t mark = end + 7;
    if (bytes.size() < mark + 8 || (bytes.size() - mark) % 4 != 0) return false;
    auto word = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    const uint32_t m = word(mark);
    if (m != 0x11223344 && m != 0x44332211) return false;
    const bool swap = m == 0x44332211;
    if (bytes.substr(0, end).find("chksum0 yes") == std::string_view::npos) return true;
    uint32_t sum = 0;
    const size_t last = bytes.size() - 4;
    for (size_t at = mark + 4; at < last; at += 4) {
        const uint32_t w = swap ? Swap32(word(at)) : word(at);
        sum = ((sum << 20) | (sum >> 12)) + w;
    }
    return sum == (swap ? Swap32(word(last)) : word(last));
}

std::string GaussiansFile(const TGaussians& g) {
    std::vector<uint32_t> counts = {g.Codebooks, g.Streams, g.Densities};
    counts.insert(counts.end(), g.VecLen.begin(), g.VecLen.end());
    return SphinxBinaryFile(counts, g.Values);
}

TTransitions ReadTransitions(std::string_view bytes, const std::string& fileName) {
    TWords in(bytes, fileName);
    TTransitions t;
    t.Matrices = in.Next();
    t.Rows = in.Next();
    t.Columns = in.Next();
    if (t.Matrices == 0 || t.Matrices > 100000 || t.Rows == 0 || t.Rows > 64 || t.Columns != t.Rows + 1)
        in.Bad("contagens fora do limite");
    t.Values = in.Floats(size_t(t.Matrices) * t.Rows * t.Columns);
    // The trainer's files keep counts; each row becomes probabilities, as
    // the recognizer makes them when it loads the model.
    for (size_t row = 0; row < size_t(t.Matrices) * t.Rows; ++row) {
        float* p = t.Values.data() + row * t.Columns;
        double sum = 0;
        for (uint32_t to = 0; to < t.Columns; ++to) sum += p[to] > 0 ? p[to] : 0;
        if (sum <= 0) in.Bad("linha de transições vazia");
        for (uint32_t to = 0; to < t.Columns; ++to) p[to] = p[to] > 0 ? static_cast<float>(p[to] / sum) : 0.0f;
    }
    return t;
}

int32_t TModelDefinition::Find(const std::string& base, const std::string& left, const std::string& right,
                               char position) const {
    auto it = Index.find(base + " " + left + " " + right + " " + position);
    return it == Index.end() ? -1 : it->second;
}

int32_t TModelDefinition::Base(const std::string& name) const { return Find(name, "-", "-", '-'); }

TModelDefinition ReadTextModelDefinition(std::string_view text, const std::string& fileName) {
    auto bad = [&](const std::string& why) -> TModelDefinition {
        throw TError(Utf8ToCp1252("Definição do modelo ilegível em ") + fileName + ": " + Utf8ToCp1252(why));
    };
    TModelDefinition m;
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line.rfind("0.3", 0) != 0) return bad("versão desconhecida");
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string first, second;
        fields >> first >> second;
        // The counts: "42 n_base", "5126 n_tied_state"...
        if (second == "n_base") m.Bases = static_cast<uint32_t>(std::stoul(first));
        else if (second == "n_tied_state") m.Senones = static_cast<uint32_t>(std::stoul(first));
        if (second.rfind("n_", 0) == 0) continue;
        TModelDefinition::TPhone p;
        std::string right, position, attribute;
        p.Base = first;
        p.Left = second;
        fields >> right >> position >> attribute >> p.Matrix;
        if (!fields || position.size() != 1) return bad("linha " + line);
        p.Right = right;
        p.Position = position[0];
        std::string word;
        while (fields >> word && word != "N") p.Senones.push_back(static_cast<uint32_t>(std::stoul(word)));
        if (p.Senones.empty()) return bad("linha " + line);
        m.Index.emplace(p.Base + " " + p.Left + " " + p.Right + " " + p.Position, static_cast<int32_t>(m.Phones.size()));
        m.Phones.push_back(std::move(p));
    }
    if (m.Bases == 0 || m.Phones.size() < m.Bases || m.Senones == 0) return bad("contagens ausentes");
    m.SenoneBase.assign(m.Senones, 0);
    for (const TModelDefinition::TPhone& p : m.Phones) {
        const int32_t base = m.Base(p.Base);
        if (base < 0) return bad("fone sem base: " + p.Base);
        for (uint32_t s : p.Senones) {
            if (s >= m.Senones) return bad("senone fora do limite");
            m.SenoneBase[s] = static_cast<uint32_t>(base);
        }
    }
    return m;
}

}  // namespace zel
