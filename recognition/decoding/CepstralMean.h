#pragma once
// The decoder's cepstral mean normalisation: the engine subtracts a running
// mean of the cepstrum, which starts at the acoustic model's value and is
// updated at the end of each utterance. These are the few things the decoding
// does with it: read its loudness term, take it whole and put it back.
#include <cstddef>
#include <cstdint>
#include <vector>

struct ps_decoder_s;

namespace zel {

// The mean, its running sums and how many frames they hold.
struct TCepstralState {
    std::vector<float> Mean, Sum;
    int32_t Frames = 0;
    bool Empty() const { return Mean.empty(); }
};

class TCepstralMean {
public:
    // The decoder's; Present() is false when it keeps none.
    explicit TCepstralMean(ps_decoder_s* ps);
    bool Present() const { return mean_ != nullptr; }
    size_t Size() const { return size_; }
    // The loudness term (c0); 0 when there is no mean.
    double C0() const;
    std::vector<float> Mean() const;
    // false when the sizes differ (another feature set).
    bool SetMean(const std::vector<float>& mean);
    TCepstralState State() const;
    void Restore(const TCepstralState& state);

private:
    float* mean_ = nullptr;
    float* sum_ = nullptr;
    int32_t* frames_ = nullptr;
    size_t size_ = 0;
};

}  // namespace zel
