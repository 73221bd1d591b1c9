#pragma once
// TParserPortugues: the language-model builder. It turns Portuguese text into
// pronunciations, counts word n-grams from corpus sentences, count lines and
// command phrases, keeps the pronunciation dictionary, and writes the files
// the recognizer reads: dictionary.dic, languagemodel.lm (ARPA back-off
// trigram model), tokens.ubt (the counts as text) and zellm.zlm (the bundle:
// counts followed by the dictionary).
//
// Every text is Windows-1252. Entries are found without regard to case by the
// user's locale (LocaleCompare); an entry keeps the written form of its first
// addition, and every n-gram is written with the forms of its tokens' unigram
// entries, so that a model never holds "<s> ATENçãO" beside "ATENÇÃO".
//
// Tokens are interned: an addition costs one hash lookup of the exact bytes
// (a collation key is computed only for a form not seen before); bigrams and
// trigrams are kept as tuples of token ids. Counting, sorting and writing are
// O(N log N) in the number of distinct entries.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// Markers of the count file and of the bundle.
inline constexpr const char* kMarkerUni = "### UNI ###";
inline constexpr const char* kMarkerBi = "### BI ###";
inline constexpr const char* kMarkerTri = "### TRI ###";
inline constexpr const char* kMarkerEndUbt = "### ENDUBT ###";
inline constexpr const char* kMarkerDic = "### DIC ###";
inline constexpr const char* kMarkerEndDic = "### ENDDIC ###";

// Names of the generated files inside the output folder.
inline constexpr const char* kDictionaryFileName = "dictionary.dic";
inline constexpr const char* kLanguageModelFileName = "languagemodel.lm";
inline constexpr const char* kCountFileName = "tokens.ubt";
inline constexpr const char* kBundleFileName = "zellm.zlm";

class TParserPortugues {
public:
    TParserPortugues();
    ~TParserPortugues();
    TParserPortugues(const TParserPortugues&) = delete;
    TParserPortugues& operator=(const TParserPortugues&) = delete;

    // ---- Letters to phonemes ------------------------------------------------
    // The pronunciation of a Portuguese text: upper-case phoneme symbols, each
    // followed by one blank; a blank or a silent letter leaves an extra blank.
    // Depends on the text alone; never fails.
    static std::string TextToPhonemes(std::string_view text);

    // ---- Counts ---------------------------------------------------------------
    // Empties the three n-gram lists (not the dictionary, not the folder) and
    // seeds "<s>", "</s>" and "<s> </s>" with count 1 each.
    void ResetCounts();
    // Each counts its text once: an entry equal without regard to case grows by
    // one, otherwise the text is appended with count 1. A unigram may hold
    // blanks (a whole command phrase); a bigram's text is split into two tokens
    // and a trigram's into three, preferring a split into known tokens, so that
    // "<s> abrir navegador" is the pair <s> + "abrir navegador" once that
    // phrase was counted. A bigram text without a blank, or a trigram text with
    // fewer than two, is no n-gram and adds nothing.
    void AddUnigram(std::string_view text);
    void AddBigram(std::string_view text);
    void AddTrigram(std::string_view text);
    // One corpus line: bytes below "A" become blanks, ASCII letters upper
    // case, accented capitals small letters, the words are wrapped in "<s>" … "</s>" and every unigram, bigram
    // and trigram of the sentence is counted.
    void AddSentence(std::string_view line);
    // "count<TAB>n-gram" with the tokens in their written form (WrittenForm.h)
    // separated by single blanks: 0 blanks a unigram, 1 a bigram, 2 a trigram.
    // The count is added in one step (a count never exceeds 2147483647).
    // Anything without exactly two tab-separated fields adds nothing; a first
    // field that is no integer raises "'%s' is not a valid integer value".
    void AddCountLine(std::string_view line);
    // Every line of the file (ends CR LF, CR or LF; Windows-1252 or UTF-8,
    // see ReadTextFile) through AddSentence, then
    // SortNgrams. Raises "Cannot open file %s" with no count changed.
    void LoadCorpusFile(const std::string& fileName);
    // Orders the three lists with their counts by LocaleCompare of the entry.
    void SortNgrams();

    // ---- Dictionary -------------------------------------------------------------
    // "word<TAB>pronunciation", trimmed; kept unless its word (compared byte for
    // byte) already has a line. Malformed lines are passed over.
    void AddDictionaryLine(std::string_view line);
    // The same for a word that may hold tabs itself (a command phrase, which
    // reaches the files in its written form): stored whole, its pronunciation
    // after the last tab. Tabs inside the pronunciation count as blanks.
    void AddDictionaryEntry(std::string_view word, std::string_view pronunciation);

    // ---- Bundle -------------------------------------------------------------------
    // Feeds the lines of a bundle (or of the dictation memo): up to the first
    // "### ENDUBT ###" through AddCountLine; from there up to the first
    // "### ENDDIC ###" as dictionary lines (words in their written form).
    // A conversion error of AddCountLine ends the reading; what was added stays.
    void AddBundleLines(const std::vector<std::string>& lines);

    // ---- Writers (each file written atomically; "Cannot create file %s") ----
    // Completes the dictionary with a generated pronunciation for every counted
    // word that has none (markers excepted) and writes Folder + dictionary.dic.
    void WriteDictionary();
    // Sorts the lists and writes Folder + languagemodel.lm.
    void WriteLanguageModel();
    // Writes Folder + tokens.ubt from the current counts, in list order.
    void WriteCountFile();
    // Reads Folder + tokens.ubt and Folder + dictionary.dic back and writes
    // Folder + zellm.zlm ("Cannot open file %s" when one cannot be read).
    void WriteModelBundle();
    // Sets Folder (a "/" is appended when it ends in neither "/" nor "\";
    // an empty folder is "./"), then dictionary, model, count file, bundle.
    void GenerateModelFiles(std::string_view folder);

    // ---- Read access --------------------------------------------------------
    const std::string& Folder() const;
    // The entries in list order. Bigram and trigram tokens are given in the
    // form of their unigram entries (of their first addition when they have
    // none), joined by single blanks; tokens are as counted, not written forms.
    std::vector<std::string> Unigrams() const;
    std::vector<std::string> Bigrams() const;
    std::vector<std::string> Trigrams() const;
    std::vector<int32_t> UnigramCounts() const;
    std::vector<int32_t> BigramCounts() const;
    std::vector<int32_t> TrigramCounts() const;
    int32_t NumUnigrams() const;
    int32_t NumBigrams() const;
    int32_t NumTrigrams() const;
    // Dictionary lines in the order of addition, words as counted.
    const std::vector<std::string>& Dictionary() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

}  // namespace zel
