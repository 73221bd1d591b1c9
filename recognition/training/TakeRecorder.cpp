#include "recognition/training/TakeRecorder.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "commands/TextFile.h"
#include "commands/ZelError.h"
#include "recognition/WavWriter.h"
#include "recognition/training/OwnFolder.h"

namespace zel {

TTakeRecorder::~TTakeRecorder() { Stop(); }

void TTakeRecorder::Start(std::unique_ptr<IAudioSource> source) {
    Stop();
    take_ = std::make_shared<TTake>();
    take_->Source = std::move(source);
    thread_ = std::thread([take = take_] {
        int16_t buffer[800];  // 50 ms at 16 kHz
        while (!take->Stop) {
            const int32_t n = take->Source->Read(buffer, 800);
            if (n <= 0) break;
            int peak = 0;
            for (int32_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
            take->Level = peak * 100 / 32768;
            std::lock_guard<std::mutex> lock(take->Mutex);
            take->Samples.insert(take->Samples.end(), buffer, buffer + n);
        }
        take->Level = 0;
        std::lock_guard<std::mutex> lock(take->Mutex);
        take->Done = true;
        take->Ended.notify_all();
    });
}

std::vector<int16_t> TTakeRecorder::Stop() {
    if (!take_) return {};
    take_->Stop = true;
    std::unique_lock<std::mutex> lock(take_->Mutex);
    // A working microphone answers within one read (50 ms).
    const bool ended = take_->Ended.wait_for(lock, std::chrono::milliseconds(300), [&] { return take_->Done; });
    std::vector<int16_t> samples = std::move(take_->Samples);
    take_->Samples.clear();
    lock.unlock();
    if (ended) thread_.join();
    else thread_.detach();
    take_.reset();
    return samples;
}

namespace {

// What a folder of takes held before the program marked its folders.
bool IsTakeFileName(const std::string& name) {
    if (name == kPromptListName) return true;
    return name.size() == 7 && name.compare(3, 4, ".wav") == 0 && std::isdigit(static_cast<unsigned char>(name[0])) &&
           std::isdigit(static_cast<unsigned char>(name[1])) && std::isdigit(static_cast<unsigned char>(name[2]));
}

}  // namespace

TTakeFolder::TTakeFolder(std::string folder, std::vector<std::string> sentences)
    : folder_(std::move(folder)), sentences_(std::move(sentences)), taken_(sentences_.size(), false) {
    // Takes replace the files of earlier takes: never those of a folder of the user's.
    const std::filesystem::path path = NativePath(folder_);
    if (!IsOwnFolder(path, IsTakeFileName)) RaiseNotOwnFolder(folder_);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) RaiseCannotCreate(folder_, ec.message());
    MarkOwnFolder(path);
}

std::string TTakeFolder::WavName(size_t i) const { return std::to_string(1000 + i).substr(1) + ".wav"; }

void TTakeFolder::Keep(size_t i, const std::vector<int16_t>& samples, int32_t rate) {
    WriteFileAtomic(folder_ + WavName(i), WavFileBytes(samples, rate));
    taken_[i] = true;
    WriteList();
}

void TTakeFolder::Forget(size_t i) {
    taken_[i] = false;
    WriteList();
}

void TTakeFolder::WriteList() const {
    std::vector<std::string> list;
    for (size_t k = 0; k < sentences_.size(); ++k)
        if (taken_[k]) list.push_back(WavName(k) + "\t" + sentences_[k]);
    WriteLines(folder_ + kPromptListName, list);
}

size_t TTakeFolder::Count() const {
    size_t n = 0;
    for (bool t : taken_) n += t;
    return n;
}

std::vector<TPrompt> TTakeFolder::Prompts() const {
    std::vector<TPrompt> out;
    for (size_t k = 0; k < sentences_.size(); ++k)
        if (taken_[k]) out.push_back({folder_ + WavName(k), sentences_[k]});
    return out;
}

}  // namespace zel
