#include "recognition/decoding/UtteranceScore.h"

#include <pocketsphinx.h>

#include <algorithm>
#include <cmath>

#include "commands/Cp1252.h"
#include "recognition/DictationAcceptance.h"
#include "recognition/GrammarCheck.h"

namespace zel {

namespace {

bool IsFiller(const char* word) {
    return !word || word[0] == '<' || word[0] == '[' || (word[0] == '+' && word[1] == '+');
}

}  // namespace

int32_t ConfidenceFromAcousticPerFrame(double lnPerFrame) {
    // Confidence is the acoustic score per frame of the worst-matching word of
    // the hypothesis (fillers left out). Of the measures the engine offers it
    // separated best, on spoken commands with a noise floor: right results
    // from wrong ones (area under the curve 0.85, against 0.80 for the lowest
    // word posterior and about 0.6 for the utterance posterior) and right
    // commands from ordinary speech forced onto the command words (0.98).
    // Right commands score about -3.5 natural-log units per frame (median),
    // 95% of them above -5.4; ordinary speech stays below -5.4. The scale
    // puts -7.5 at 0 and -3.5 at 100, linearly, so that the settings' default
    // threshold of 50 falls at -5.5.
    double c = (lnPerFrame + 7.5) / 4.0 * 100.0;
    return static_cast<int32_t>(std::lround(std::clamp(c, 0.0, 100.0)));
}

TUtteranceScore ScoreResult(ps_decoder_s* ps, const std::string& text,
                            const std::unordered_set<std::string>& commandWords) {
    logmath_t* lmath = ps_get_logmath(ps);
    double worst = 0, minPost = 0, totalAscr = 0;
    int totalFrames = 0, words = 0;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        const char* word = ps_seg_word(seg);
        if (IsFiller(word)) continue;
        int sf = 0, ef = 0;
        ps_seg_frames(seg, &sf, &ef);
        int32 ascr = 0, lscr = 0, lback = 0;
        const int32 post = ps_seg_prob(seg, &ascr, &lscr, &lback);
        const int frames = std::max(1, ef - sf + 1);
        const double ascrLn = logmath_log_to_ln(lmath, ascr);
        const double perFrame = ascrLn / frames;
        const double postLn = logmath_log_to_ln(lmath, post);
        if (words == 0 || perFrame < worst) worst = perFrame;
        if (words == 0 || postLn < minPost) minPost = postLn;
        totalAscr += ascrLn;
        totalFrames += frames;
        ++words;
    }
    TUtteranceScore s;
    s.Text = Cp1252ToUtf16(text);
    s.AcousticPerFrame = worst;
    s.MeanAcousticPerFrame = totalFrames ? totalAscr / totalFrames : 0;
    s.MinWordPosterior = minPost;
    s.Words = words;
    s.Confidence = words ? ConfidenceFromAcousticPerFrame(worst) : 0;
    for (const std::string& w : ResultWords(text)) s.Dictation |= !commandWords.count(w);
    // The panel and the history show the measure that decides.
    if (s.Dictation) s.Confidence = DictationConfidence(s);
    return s;
}

}  // namespace zel
