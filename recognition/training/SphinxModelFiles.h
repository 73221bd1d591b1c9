#pragma once
// The acoustic model's files as the Sphinx toolkit writes them, for the
// program's own trainer: the Gaussians ("means", "variances"), the
// transition matrices and the model definition in its text form.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zel {

// Gaussian parameters: for each codebook, feature stream and density a
// vector of VecLen[stream] values.
struct TGaussians {
    uint32_t Codebooks = 0, Streams = 0, Densities = 0;
    std::vector<uint32_t> VecLen;
    std::vector<float> Values;
    // Where the vector of (codebook, stream, density) starts.
    size_t Offset(uint32_t codebook, uint32_t stream, uint32_t density) const;
};

// The binary files: a text header ("s3", its keys, "endhdr"), a byte-order
// mark, the counts, the values as 32-bit floats and a checksum. Raise a
// message naming fileName when the bytes are not such a file.
TGaussians ReadGaussians(std::string_view bytes, const std::string& fileName);
std::string GaussiansFile(const TGaussians& gaussians);
// Such a file of any kind: its counts, then the values with their number.
std::string SphinxBinaryFile(const std::vector<uint32_t>& counts, const std::vector<float>& values);
// Whether bytes are such a file whole: its header, its byte-order mark and,
// when the header says it has one, the checksum of every word after the mark.
bool IsWholeSphinxBinaryFile(std::string_view bytes);

// The transition probabilities of each matrix (each row adding up to one), from state (rows: the emitting
// states) to state (columns: the emitting states and the exit).
struct TTransitions {
    uint32_t Matrices = 0, Rows = 0, Columns = 0;
    std::vector<float> Values;
    float At(uint32_t matrix, uint32_t from, uint32_t to) const {
        return Values[(size_t(matrix) * Rows + from) * Columns + to];
    }
};
TTransitions ReadTransitions(std::string_view bytes, const std::string& fileName);

// The model definition: the phones (base phones first, with "-" contexts),
// each with its transition matrix and the senone of each emitting state.
struct TModelDefinition {
    struct TPhone {
        std::string Base, Left, Right;
        char Position = '-';  // b(egin), e(nd), i(nternal), s(ingle) of a word; '-' for a base phone
        uint32_t Matrix = 0;
        std::vector<uint32_t> Senones;
    };
    uint32_t Bases = 0, Senones = 0;
    std::vector<TPhone> Phones;
    // The phone of (base, left, right, position); -1 when the model has none.
    int32_t Find(const std::string& base, const std::string& left, const std::string& right, char position) const;
    // The base phone of that name; -1 for none.
    int32_t Base(const std::string& name) const;
    // The base phone every senone belongs to (its codebook in a model of
    // phonetically tied mixtures).
    std::vector<uint32_t> SenoneBase;

    std::unordered_map<std::string, int32_t> Index;  // "base left right position"
};
// The text the Sphinx tools write ("0.3", the counts, one line a phone).
TModelDefinition ReadTextModelDefinition(std::string_view text, const std::string& fileName);

}  // namespace zel
