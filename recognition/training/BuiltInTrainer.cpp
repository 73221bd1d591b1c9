#include "recognition/training/BuiltInTrainer.h"

#include <sphinxbase/cmd_ln.h>
#include <sphinxbase/err.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fe.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "commands/Cp1252.h"
#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "platform/SystemFiles.h"
#include "recognition/training/MixtureWeights.h"

// The engine's model definition, read and written by its own functions
// (exported by its library, declared in no public header).
extern "C" {
struct bin_mdef_s;
bin_mdef_s* bin_mdef_read(cmd_ln_t* config, const char* fileName);
int bin_mdef_write_text(bin_mdef_s* m, const char* fileName);
int bin_mdef_free(bin_mdef_s* m);
}

namespace zel {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
// Weights the quantized file rounds to nothing still count a little.
constexpr double kWeightFloor = 1e-7;
constexpr double kVarianceFloor = 1e-4;
// Densities this unlikely in their senone are left out of the statistics.
constexpr double kPosteriorFloor = 1e-4;
constexpr double kTwoPi = 6.283185307179586;
// Densities of a codebook a frame is scored against, the closest ones (as
// the recognizer's -topn).
constexpr uint32_t kTopDensities = 16;

double LogAdd(double a, double b) {
    if (a < b) std::swap(a, b);
    if (b == kMinusInfinity) return a;
    return a + std::log1p(std::exp(b - a));
}

[[noreturn]] void Fail(const std::string& utf8) { throw TError(Utf8ToCp1252(utf8)); }

// Solves a x = b by Gaussian elimination with partial pivoting; false when
// the system is singular.
bool Solve(std::vector<double> a, std::vector<double> b, size_t n, std::vector<double>& x) {
    for (size_t c = 0; c < n; ++c) {
        size_t pivot = c;
        for (size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r * n + c]) > std::fabs(a[pivot * n + c])) pivot = r;
        if (std::fabs(a[pivot * n + c]) < 1e-12) return false;
        if (pivot != c) {
            for (size_t k = 0; k < n; ++k) std::swap(a[c * n + k], a[pivot * n + k]);
            std::swap(b[c], b[pivot]);
        }
        for (size_t r = c + 1; r < n; ++r) {
            const double f = a[r * n + c] / a[c * n + c];
            for (size_t k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
            b[r] -= f * b[c];
        }
    }
    x.assign(n, 0);
    for (size_t r = n; r-- > 0;) {
        double s = b[r];
        for (size_t k = r + 1; k < n; ++k) s -= a[r * n + k] * x[k];
        x[r] = s / a[r * n + r];
    }
    return true;
}

}  // namespace

// The installed model as the alignment needs it.
struct TBuiltInTrainer::TModel {
    TModelDefinition Definition;
    TGaussians Variances;
    TTransitions Transitions;
    TMixtureWeights Weights;
    std::vector<float> LogWeights;  // as Weights, in natural log
    uint32_t Dim = 0;               // the streams' lengths together
    std::vector<uint32_t> StreamStart;
    int32_t Silence = -1;
};

// What the aligned frames say of each density: their count, sum and sum of
// squares (the last for the MLLR's weights, by the prior variances).
struct TBuiltInTrainer::TStatistics {
    std::vector<double> Count;  // by (codebook, stream, density)
    std::vector<double> Sum;    // by the means' layout
};

TBuiltInTrainer::TBuiltInTrainer(std::string baseModel, std::map<std::string, std::string> feat, int32_t sampleRate,
                                 const std::string& logFile)
    : base_(std::move(baseModel)), feat_(std::move(feat)), sampleRate_(sampleRate) {
    engineLogBefore_ = err_get_logfp();
    engineLog_ = OpenOwnFile(logFile, true);
    if (engineLog_) err_set_logfp(engineLog_);
}

TBuiltInTrainer::~TBuiltInTrainer() {
    if (!engineLog_) return;
    err_set_logfp(engineLogBefore_);
    std::fclose(engineLog_);
}

void TBuiltInTrainer::ReadModel(const std::string& workFolder) {
    auto model = std::make_unique<TModel>();
    // The definition in its text form, by the engine's own conversion.
    const std::string text = workFolder + "mdef.txt";
    bin_mdef_s* m = bin_mdef_read(nullptr, (base_ + "mdef").c_str());
    if (!m) RaiseCannotOpen(base_ + "mdef");
    const int written = bin_mdef_write_text(m, text.c_str());
    bin_mdef_free(m);
    if (written != 0) RaiseCannotCreate(text);
    model->Definition = ReadTextModelDefinition(ReadFileBytes(text), text);
    prior_ = ReadGaussians(ReadFileBytes(base_ + "means"), base_ + "means");
    model->Variances = ReadGaussians(ReadFileBytes(base_ + "variances"), base_ + "variances");
    model->Transitions = ReadTransitions(ReadFileBytes(base_ + "transition_matrices"), base_ + "transition_matrices");
    const std::string mixw = base_ + "sendump";
    if (!FileExists(mixw)) Fail("O modelo acústico não tem pesos de mistura (sendump) em " + base_);
    model->Weights = ReadSendump(ReadFileBytes(mixw), mixw);
    const TModelDefinition& d = model->Definition;
    if (model->Weights.Senones != d.Senones || model->Weights.Features != prior_.Streams ||
        model->Weights.Densities != prior_.Densities || prior_.Codebooks < d.Bases ||
        model->Variances.Values.size() != prior_.Values.size())
        Fail("O modelo acústico em " + base_ + " não é de misturas ligadas por fone (ptm) como o esperado.");
    model->LogWeights.resize(model->Weights.Weights.size());
    for (size_t i = 0; i < model->LogWeights.size(); ++i)
        model->LogWeights[i] = static_cast<float>(std::log(std::max<double>(model->Weights.Weights[i], kWeightFloor)));
    for (uint32_t f = 0; f < prior_.Streams; ++f) {
        model->StreamStart.push_back(model->Dim);
        model->Dim += prior_.VecLen[f];
    }
    model->Silence = d.Base("SIL");
    model_ = std::move(model);
    means_ = prior_;
}

void TBuiltInTrainer::ComputeFeatures(const std::vector<TTrainingTake>& takes) {
    auto option = [&](const char* name, const char* fallback) {
        auto it = feat_.find(name);
        return it == feat_.end() ? std::string(fallback) : it->second;
    };
    // The front end with the model's own settings, as the trainer's sphinx_fe
    // takes them, dithered with a fixed seed.
    std::vector<std::string> args = {"-samprate", std::to_string(sampleRate_), "-dither", "yes", "-seed", "1"};
    const arg_t* known = fe_get_args();
    for (const auto& [name, value] : feat_)
        for (const arg_t* a = known; a->name; ++a)
            if (name == a->name) args.insert(args.end(), {name, value});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    cmd_ln_t* config = cmd_ln_parse_r(nullptr, known, static_cast<int32>(argv.size()), argv.data(), FALSE);
    if (!config) Fail("Opções do modelo acústico recusadas pelo cálculo das características");
    fe_t* fe = fe_init_auto_r(config);
    if (!fe) {
        cmd_ln_free_r(config);
        Fail("O cálculo das características não pôde começar");
    }
    const int ceplen = fe_get_output_size(fe);
    feat_t* fcb = feat_init(option("-feat", "1s_c_d_dd").c_str(), cmn_type_from_str(option("-cmn", "batch").c_str()),
                            option("-varnorm", "no") == "yes", agc_type_from_str(option("-agc", "none").c_str()), 0,
                            ceplen);
    if (!fcb) {
        fe_free(fe);
        cmd_ln_free_r(config);
        Fail("Tipo de características desconhecido: " + option("-feat", "1s_c_d_dd"));
    }
    if (feat_.count("-svspec")) feat_set_subvecs(fcb, parse_subvecs(feat_.at("-svspec").c_str()));
    features_.clear();
    words_.clear();
    for (const TTrainingTake& take : takes) {
        mfcc_t** cep = nullptr;
        int32 frames = 0;
        fe_start_utt(fe);
        fe_process_utt(fe, take.Samples.data(), take.Samples.size(), &cep, &frames);
        std::vector<std::vector<float>> out;
        if (cep && frames > 0) {
            mfcc_t*** f = feat_array_alloc(fcb, frames);
            int32 consumed = frames;
            const int32 n = feat_s2mfc2feat_live(fcb, cep, &consumed, TRUE, TRUE, f);
            for (int32 t = 0; t < n; ++t) {
                std::vector<float> v;
                v.reserve(model_->Dim);
                for (uint32_t s = 0; s < static_cast<uint32_t>(feat_dimension1(fcb)); ++s)
                    for (uint32_t k = 0; k < static_cast<uint32_t>(feat_dimension2(fcb, s)); ++k) v.push_back(static_cast<float>(f[t][s][k]));
                if (v.size() != model_->Dim) {
                    feat_array_free(f);
                    fe_free_2d(cep);
                    feat_free(fcb);
                    fe_free(fe);
                    cmd_ln_free_r(config);
                    Fail("As características não têm a dimensão do modelo acústico");
                }
                out.push_back(std::move(v));
            }
            feat_array_free(f);
        }
        if (cep) fe_free_2d(cep);
        features_.push_back(std::move(out));
        words_.push_back(take.Words);
    }
    feat_free(fcb);
    fe_free(fe);
    cmd_ln_free_r(config);
}

size_t TBuiltInTrainer::Align() {
    const TModel& md = *model_;
    const TModelDefinition& def = md.Definition;
    const uint32_t streams = means_.Streams, densities = means_.Densities;
    auto stats = std::make_unique<TStatistics>();
    stats->Count.assign(size_t(means_.Codebooks) * streams * densities, 0.0);
    stats->Sum.assign(means_.Values.size(), 0.0);
    alignedFrames_ = 0;
    totalLogLikelihood_ = 0;
    // The Gaussians' constant parts and inverse variances, once.
    std::vector<double> inverse(md.Variances.Values.size()), logConst(stats->Count.size());
    for (uint32_t c = 0; c < means_.Codebooks; ++c)
        for (uint32_t f = 0; f < streams; ++f)
            for (uint32_t d = 0; d < densities; ++d) {
                const size_t at = means_.Offset(c, f, d);
                double k = 0;
                for (uint32_t i = 0; i < means_.VecLen[f]; ++i) {
                    const double v = std::max<double>(md.Variances.Values[at + i], kVarianceFloor);
                    inverse[at + i] = 1.0 / v;
                    k += std::log(kTwoPi * v);
                }
                logConst[(size_t(c) * streams + f) * densities + d] = -0.5 * k;
            }
    // The log density of a frame under a Gaussian of the current means.
    auto logDensity = [&](const std::vector<float>& x, uint32_t c, uint32_t f, uint32_t d) {
        const size_t at = means_.Offset(c, f, d);
        double e = 0;
        for (uint32_t i = 0; i < means_.VecLen[f]; ++i) {
            const double diff = x[md.StreamStart[f] + i] - means_.Values[at + i];
            e += diff * diff * inverse[at + i];
        }
        return logConst[(size_t(c) * streams + f) * densities + d] - 0.5 * e;
    };
    const uint32_t states = def.Phones.empty() ? 3 : static_cast<uint32_t>(def.Phones[0].Senones.size());
    size_t aligned = 0;
    for (size_t u = 0; u < features_.size(); ++u) {
        const auto& frames = features_[u];
        // The chain of phones: silence, the words' triphones with a silence
        // that may come between two words, silence. The silences may be left out.
        struct TInstance {
            int32_t Phone;
            bool Optional;
        };
        std::vector<TInstance> chain;
        std::vector<std::string> phones;  // the sentence's phones, for the contexts
        std::vector<size_t> wordStart;
        bool known = true;
        for (const std::string& w : words_[u]) {
            auto it = dictionary_.find(w);
            if (it == dictionary_.end()) {
                known = false;
                break;
            }
            wordStart.push_back(phones.size());
            std::istringstream in(it->second);
            for (std::string p; in >> p;) phones.push_back(p);
        }
        if (!known || phones.empty() || frames.empty()) continue;
        wordStart.push_back(phones.size());
        if (md.Silence >= 0) chain.push_back({md.Silence, true});
        for (size_t w = 0; w + 1 < wordStart.size(); ++w) {
            const size_t first = wordStart[w], last = wordStart[w + 1] - 1;
            for (size_t k = first; k <= last; ++k) {
                const std::string left = k > 0 ? phones[k - 1] : "SIL";
                const std::string right = k + 1 < phones.size() ? phones[k + 1] : "SIL";
                const char position = first == last ? 's' : k == first ? 'b' : k == last ? 'e' : 'i';
                int32_t id = def.Find(phones[k], left, right, position);
                if (id < 0) id = def.Base(phones[k]);
                if (id < 0) {
                    known = false;
                    break;
                }
                chain.push_back({id, false});
            }
            if (md.Silence >= 0 && w + 2 < wordStart.size()) chain.push_back({md.Silence, true});
        }
        if (md.Silence >= 0) chain.push_back({md.Silence, true});
        if (!known) continue;

        // The senones of the chain, each scored once per frame.
        std::vector<uint32_t> senones;
        std::unordered_map<uint32_t, uint32_t> slot;
        std::vector<uint32_t> stateSlot;  // by chain state
        for (const TInstance& in : chain)
            for (uint32_t j = 0; j < states; ++j) {
                const uint32_t s = def.Phones[in.Phone].Senones[j];
                auto [it, added] = slot.emplace(s, static_cast<uint32_t>(senones.size()));
                if (added) senones.push_back(s);
                stateSlot.push_back(it->second);
            }
        const size_t n = chain.size() * states, T = frames.size();
        std::vector<double> score(senones.size());
        std::vector<double> prev(n, kMinusInfinity), cur(n);
        std::vector<int32_t> back(T * n, -1);
        // The chain's transitions in log, from state (or the exit) to state.
        std::vector<double> logTransitions(chain.size() * states * (states + 1));
        for (size_t i = 0; i < chain.size(); ++i)
            for (uint32_t from = 0; from < states; ++from)
                for (uint32_t to = 0; to <= states; ++to) {
                    const double p = md.Transitions.At(def.Phones[chain[i].Phone].Matrix, from, to);
                    logTransitions[(i * states + from) * (states + 1) + to] = p > 0 ? std::log(p) : kMinusInfinity;
                }
        auto logA = [&](size_t instance, uint32_t from, uint32_t to) {
            return logTransitions[(instance * states + from) * (states + 1) + to];
        };
        // A senone's log-likelihood of a frame: per stream, the weighted sum
        // of its codebook's densities, over the kTopDensities closest ones
        // (as the recognizer does): the others add next to nothing.
        struct TTop {
            std::vector<uint32_t> Index;  // by stream, kTopDensities each
            std::vector<double> Score;
        };
        std::unordered_map<uint32_t, TTop> codebookScores;  // this frame's, by codebook
        std::vector<double> all(densities);
        std::vector<uint32_t> order(densities);
        const uint32_t top = std::min<uint32_t>(kTopDensities, densities);
        auto scoreFrame = [&](const std::vector<float>& x) {
            codebookScores.clear();
            for (size_t k = 0; k < senones.size(); ++k) {
                const uint32_t s = senones[k], c = def.SenoneBase[s];
                auto [it, fresh] = codebookScores.try_emplace(c);
                TTop& g = it->second;
                if (fresh) {
                    g.Index.resize(size_t(streams) * top);
                    g.Score.resize(size_t(streams) * top);
                    for (uint32_t f = 0; f < streams; ++f) {
                        for (uint32_t d = 0; d < densities; ++d) {
                            all[d] = logDensity(x, c, f, d);
                            order[d] = d;
                        }
                        std::partial_sort(order.begin(), order.begin() + top, order.end(),
                                          [&](uint32_t a, uint32_t b) { return all[a] > all[b]; });
                        for (uint32_t j = 0; j < top; ++j) {
                            g.Index[size_t(f) * top + j] = order[j];
                            g.Score[size_t(f) * top + j] = all[order[j]];
                        }
                    }
                }
                double total = 0;
                for (uint32_t f = 0; f < streams; ++f) {
                    const size_t w = (size_t(s) * streams + f) * densities;
                    double best = kMinusInfinity;
                    for (uint32_t j = 0; j < top; ++j)
                        best = std::max(best, md.LogWeights[w + g.Index[size_t(f) * top + j]] + g.Score[size_t(f) * top + j]);
                    double sum = 0;
                    for (uint32_t j = 0; j < top; ++j)
                        sum += std::exp(md.LogWeights[w + g.Index[size_t(f) * top + j]] + g.Score[size_t(f) * top + j] - best);
                    total += best + std::log(sum);
                }
                score[k] = total;
            }
        };
        // Time-synchronous Viterbi; an instance is entered at its first state
        // from the exit of the one before, or of the one before that when the
        // one between may be left out.
        auto exitScore = [&](const std::vector<double>& from, size_t instance) {
            double best = kMinusInfinity;
            int32_t arg = -1;
            for (uint32_t j = 0; j < states; ++j) {
                const double v = from[instance * states + j] + logA(instance, j, states);
                if (v > best) best = v, arg = static_cast<int32_t>(instance * states + j);
            }
            return std::pair{best, arg};
        };
        for (size_t t = 0; t < T; ++t) {
            scoreFrame(frames[t]);
            for (size_t i = 0; i < chain.size(); ++i)
                for (uint32_t j = 0; j < states; ++j) {
                    const size_t k = i * states + j;
                    double best = kMinusInfinity;
                    int32_t arg = -1;
                    if (t == 0) {
                        // The first frame: the first instance, or the second past an optional first.
                        if (j == 0 && (i == 0 || (i == 1 && chain[0].Optional))) best = 0;
                    } else {
                        for (uint32_t jj = 0; jj <= j; ++jj) {
                            const double v = prev[i * states + jj] + logA(i, jj, j);
                            if (v > best) best = v, arg = static_cast<int32_t>(i * states + jj);
                        }
                        if (j == 0) {
                            for (size_t back1 = 1; back1 <= 2 && back1 <= i; ++back1) {
                                if (back1 == 2 && !chain[i - 1].Optional) break;
                                const auto [v, from] = exitScore(prev, i - back1);
                                if (v > best) best = v, arg = from;
                            }
                        }
                    }
                    cur[k] = best == kMinusInfinity ? best : best + score[stateSlot[k]];
                    back[t * n + k] = arg;
                }
            std::swap(prev, cur);
        }
        // The end: the exit of the last instance, or of the one before an optional last.
        double best = kMinusInfinity;
        int32_t last = -1;
        for (size_t back1 = 1; back1 <= 2 && back1 <= chain.size(); ++back1) {
            if (back1 == 2 && !chain.back().Optional) break;
            const auto [v, from] = exitScore(prev, chain.size() - back1);
            if (v > best) best = v, last = from;
        }
        if (last < 0 || best == kMinusInfinity) continue;  // the take is too short for its sentence
        std::vector<int32_t> path(T);
        for (size_t t = T; t-- > 0;) {
            path[t] = last;
            last = back[t * n + static_cast<size_t>(last)];
        }
        ++aligned;
        alignedFrames_ += T;
        totalLogLikelihood_ += best;
        // Each frame's share to the densities of its senone.
        for (size_t t = 0; t < T; ++t) {
            const std::vector<float>& x = frames[t];
            const uint32_t s = senones[stateSlot[static_cast<size_t>(path[t])]], c = def.SenoneBase[s];
            for (uint32_t f = 0; f < streams; ++f) {
                std::vector<double> post(densities);
                double total = kMinusInfinity;
                const size_t w = (size_t(s) * streams + f) * densities;
                for (uint32_t d = 0; d < densities; ++d) {
                    post[d] = md.LogWeights[w + d] + logDensity(x, c, f, d);
                    total = LogAdd(total, post[d]);
                }
                for (uint32_t d = 0; d < densities; ++d) {
                    const double g = std::exp(post[d] - total);
                    if (g < kPosteriorFloor) continue;
                    stats->Count[(size_t(c) * streams + f) * densities + d] += g;
                    const size_t at = means_.Offset(c, f, d);
                    for (uint32_t i = 0; i < means_.VecLen[f]; ++i) stats->Sum[at + i] += g * x[md.StreamStart[f] + i];
                }
            }
        }
    }
    stats_ = std::move(stats);
    return aligned;
}

void TBuiltInTrainer::Mllr() {
    if (!stats_) return;
    const TModel& md = *model_;
    const uint32_t streams = prior_.Streams, densities = prior_.Densities;
    TGaussians transformed = prior_;
    for (uint32_t f = 0; f < streams; ++f) {
        const uint32_t L = prior_.VecLen[f], N = L + 1;
        // One regression class: every density of the stream; row r of the
        // transform [A b] from its own normal equations (diagonal variances).
        for (uint32_t r = 0; r < L; ++r) {
            std::vector<double> G(size_t(N) * N, 0.0), k(N, 0.0);
            for (uint32_t c = 0; c < prior_.Codebooks; ++c)
                for (uint32_t d = 0; d < densities; ++d) {
                    const double n = stats_->Count[(size_t(c) * streams + f) * densities + d];
                    if (n <= 0) continue;
                    const size_t at = prior_.Offset(c, f, d);
                    const double iv = 1.0 / std::max<double>(md.Variances.Values[at + r], kVarianceFloor);
                    std::vector<double> xi(N);
                    for (uint32_t i = 0; i < L; ++i) xi[i] = prior_.Values[at + i];
                    xi[L] = 1.0;
                    for (uint32_t a = 0; a < N; ++a) {
                        k[a] += iv * stats_->Sum[at + r] * xi[a];
                        for (uint32_t b = 0; b < N; ++b) G[size_t(a) * N + b] += n * iv * xi[a] * xi[b];
                    }
                }
            // A little weight on the identity keeps a row that the takes
            // hardly tell about where it was.
            double trace = 0;
            for (uint32_t a = 0; a < N; ++a) trace += G[size_t(a) * N + a];
            const double ridge = 1e-6 * trace / N + 1e-9;
            for (uint32_t a = 0; a < N; ++a) G[size_t(a) * N + a] += ridge;
            k[r] += ridge;
            std::vector<double> w;
            if (!Solve(G, k, N, w)) continue;  // this row stays as it was
            for (uint32_t c = 0; c < prior_.Codebooks; ++c)
                for (uint32_t d = 0; d < densities; ++d) {
                    const size_t at = prior_.Offset(c, f, d);
                    double v = w[L];
                    for (uint32_t i = 0; i < L; ++i) v += w[i] * prior_.Values[at + i];
                    transformed.Values[at + r] = static_cast<float>(v);
                }
        }
    }
    prior_ = transformed;
    means_ = prior_;
}

void TBuiltInTrainer::Map(double tau) {
    if (!stats_) return;
    const uint32_t streams = prior_.Streams, densities = prior_.Densities;
    means_ = prior_;
    for (uint32_t c = 0; c < prior_.Codebooks; ++c)
        for (uint32_t f = 0; f < streams; ++f)
            for (uint32_t d = 0; d < densities; ++d) {
                const double n = stats_->Count[(size_t(c) * streams + f) * densities + d];
                if (n <= 0) continue;
                const size_t at = prior_.Offset(c, f, d);
                for (uint32_t i = 0; i < prior_.VecLen[f]; ++i)
                    means_.Values[at + i] = static_cast<float>((tau * prior_.Values[at + i] + stats_->Sum[at + i]) / (tau + n));
            }
}

}  // namespace zel
