#include "audio/sound_library.h"

namespace gombocok {
namespace {

bool isLong(const WavLayout& l, OutputFormat format) {
    const int rate = format.rate > 0 ? format.rate : 48000;
    const int channels = format.channels > 0 ? format.channels : 2;
    return l.frames() * static_cast<std::uint64_t>(rate) /
               static_cast<std::uint64_t>(l.sampleRate) * static_cast<std::uint64_t>(channels) >
           kStreamSamples;
}

}  // namespace

SoundLibrary::SoundLibrary(std::function<void()> ready)
    : ready_(std::move(ready)), thread_([this] { run(); }) {}

SoundLibrary::~SoundLibrary() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SoundLibrary::prepare(const std::vector<std::string>& paths) {
    {
        std::lock_guard lock(mutex_);
        for (const auto& p : paths) entries_.try_emplace(p);
    }
    wake_.notify_all();
}

void SoundLibrary::setFormat(OutputFormat format) {
    {
        std::lock_guard lock(mutex_);
        if (format_ == format) return;
        format_ = format;
    }
    wake_.notify_all();
}

std::optional<SoundLibrary::Ready> SoundLibrary::find(const std::string& path,
                                                      OutputFormat format) {
    std::unique_lock lock(mutex_);
    auto [it, added] = entries_.try_emplace(path);
    if (added) {
        lock.unlock();
        wake_.notify_all();
        return std::nullopt;
    }
    const Entry& e = it->second;
    if (!e.read) return std::nullopt;
    if (e.streamed) return Ready{Ready::streamed, nullptr};
    if (!e.source) return Ready{Ready::held, nullptr};
    if (!(e.convertedFor == format)) return std::nullopt;
    return Ready{Ready::held, e.converted};
}

bool SoundLibrary::hasWork() const {
    for (const auto& [path, e] : entries_) {
        if (!e.read) return true;
        if (e.source && format_.rate > 0 && !(e.convertedFor == format_)) return true;
    }
    return false;
}

void SoundLibrary::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || hasWork(); });
        if (stop_) return;
        // One file at a time, read and converted without the lock held.
        for (auto& [path, e] : entries_) {
            if (!e.read) {
                const std::string at = path;
                const OutputFormat format = format_;
                lock.unlock();
                std::shared_ptr<const WavSound> source;
                bool streamed = false;
                if (auto file = WavStream::open(at)) {
                    streamed = isLong(file->layout(), format);
                    file.reset();
                    if (!streamed) {
                        if (auto sound = readWavFile(at))
                            source = std::make_shared<const WavSound>(std::move(*sound));
                    }
                }
                lock.lock();
                Entry& now = entries_[at];
                now.read = true;
                now.streamed = streamed;
                now.source = std::move(source);
                break;
            }
            if (e.source && format_.rate > 0 && !(e.convertedFor == format_)) {
                const auto source = e.source;
                const OutputFormat format = format_;
                const std::string at = path;
                lock.unlock();
                auto converted = convertPcm(*source, format.rate, format.channels);
                lock.lock();
                Entry& now = entries_[at];
                if (now.converted) heldSamples_ -= now.converted->size();
                now.converted.reset();
                now.convertedFor = format;
                if (!converted) {
                    now.source.reset();
                } else if (heldSamples_ + converted->size() > kHeldSamples) {
                    now.streamed = true;
                    now.source.reset();
                } else {
                    heldSamples_ += converted->size();
                    now.converted = std::make_shared<const Samples>(std::move(*converted));
                }
                break;
            }
        }
        lock.unlock();
        ready_();
        lock.lock();
    }
}

}  // namespace gombocok
