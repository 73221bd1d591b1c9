#include "recognition/decoding/CepstralMean.h"

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/feat.h>

#include <algorithm>
#include <type_traits>

namespace zel {

static_assert(std::is_same_v<mfcc_t, float>, "the engine's cepstra are kept as float");
static_assert(std::is_same_v<int32, int32_t>, "the engine's frame count is a 32-bit integer");

TCepstralMean::TCepstralMean(ps_decoder_s* ps) {
    feat_t* feat = ps ? ps_get_feat(ps) : nullptr;
    cmn_t* cmn = feat ? feat->cmn_struct : nullptr;
    if (!cmn || !cmn->cmn_mean || !cmn->sum || cmn->veclen <= 0) return;
    mean_ = cmn->cmn_mean;
    sum_ = cmn->sum;
    frames_ = &cmn->nframe;
    size_ = static_cast<size_t>(cmn->veclen);
}

double TCepstralMean::C0() const { return mean_ ? static_cast<double>(mean_[0]) : 0.0; }

std::vector<float> TCepstralMean::Mean() const {
    return mean_ ? std::vector<float>(mean_, mean_ + size_) : std::vector<float>();
}

bool TCepstralMean::SetMean(const std::vector<float>& mean) {
    if (!mean_ || mean.size() != size_) return false;
    std::copy(mean.begin(), mean.end(), mean_);
    return true;
}

TCepstralState TCepstralMean::State() const {
    TCepstralState s;
    if (!mean_) return s;
    s.Mean.assign(mean_, mean_ + size_);
    s.Sum.assign(sum_, sum_ + size_);
    s.Frames = *frames_;
    return s;
}

void TCepstralMean::Restore(const TCepstralState& state) {
    if (!mean_ || state.Mean.size() != size_ || state.Sum.size() != size_) return;
    std::copy(state.Mean.begin(), state.Mean.end(), mean_);
    std::copy(state.Sum.begin(), state.Sum.end(), sum_);
    *frames_ = state.Frames;
}

}  // namespace zel
