#include "audio/sound_player.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "audio/wav.h"

namespace gombocok {
namespace {

// What the server keeps queued ahead of the speaker, and how much must have played before it
// asks for more. The server mixes kQueueMs - 2 * kRequestMs ahead, so it and the player wake
// only every kRequestMs or so while a sound plays, and never while nothing sounds. A start or a
// cut does not wait for the queue: it overwrites it, and the server mixes again from there (a
// 40 ms queue, mixed about 12 ms ahead, cost the server 2-3 % of a core in play, this 0.2 %).
constexpr int kQueueMs = 250;
constexpr int kRequestMs = 50;
// The old sound fades out and the new one in over this long at a cut, so the cut does not click.
constexpr int kFadeMs = 1;
// Sounds longer than this once converted (about 10 s at 48 kHz stereo) are streamed from their
// files as they play; shorter ones are converted once and kept.
constexpr std::uint64_t kStreamSamples = std::uint64_t{1} << 20;
// Converted sounds kept at once; beyond it the sounds played longest ago are forgotten.
constexpr std::size_t kCacheSamples = std::size_t{8} << 20;
// A server that failed is looked for again at a sound at most this often.
constexpr auto kRetry = std::chrono::milliseconds(200);
// Samples read from a streamed file at a time.
constexpr std::size_t kReadSamples = 4096;

using Samples = std::vector<std::int16_t>;

// The sound that plays: converted samples kept in memory, or a file read as it plays.
struct Playing {
    std::shared_ptr<const Samples> samples;
    std::size_t position = 0;
    std::unique_ptr<WavStream> file;
    std::unique_ptr<PcmConverter> converter;
    Samples converted, raw;

    // Up to `n` next samples into `out`; how many there were.
    std::size_t take(std::int16_t* out, std::size_t n) {
        if (samples) {
            const std::size_t k = std::min(n, samples->size() - position);
            std::copy_n(samples->data() + position, k, out);
            position += k;
            return k;
        }
        if (!file) return 0;
        while (converted.size() - position < n && !converter->done()) {
            converted.erase(converted.begin(),
                            converted.begin() + static_cast<std::ptrdiff_t>(position));
            position = 0;
            raw.resize(kReadSamples);
            raw.resize(file->read(raw));
            if (raw.empty()) break;
            converter->feed(raw, converted);
        }
        const std::size_t k = std::min(n, converted.size() - position);
        std::copy_n(converted.data() + position, k, out);
        position += k;
        return k;
    }
};

}  // namespace

struct SoundPlayer::Output {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    bool ready = false;
    std::string name = "Gombócok";
    std::chrono::steady_clock::time_point lastTry;

    pa_sample_spec sampleFormat{};
    std::size_t queueBytes = 0;
    std::optional<std::string> pending;  // asked for before the stream was ready
    std::unique_ptr<Playing> playing;
    bool ended = true;  // the sound has been written whole
    bool corked = true;
    Samples block, recent;  // what is being written; the last samples written
    std::vector<float> floats;

    struct Cached {
        std::shared_ptr<const Samples> samples;  // null: streamed, or failed
        bool streamed = false;
        std::uint64_t lastUse = 0;
    };
    std::map<std::string, Cached> cache;
    int cacheRate = 0, cacheChannels = 0;
    std::size_t cachedSamples = 0;
    std::uint64_t uses = 0;

    ~Output() {
        if (loop) pa_threaded_mainloop_stop(loop);
        drop();
        if (loop) pa_threaded_mainloop_free(loop);
    }

    void drop() {
        ready = false;
        if (stream) {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_set_underflow_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        }
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
    }

    bool broken() const {
        return !context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) ||
               (stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)));
    }

    // The thread that talks to the server, started at the first use.
    bool haveLoop() {
        if (loop) return true;
        loop = pa_threaded_mainloop_new();
        if (loop && pa_threaded_mainloop_start(loop) < 0) {
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
        }
        return loop != nullptr;
    }

    // With the loop locked.
    void connect() {
        lastTry = std::chrono::steady_clock::now();
        drop();
        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, name.c_str());
        pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "io.github.gombocok.gombocok");
        pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "gombocok");
        pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "game");
        context =
            pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), name.c_str(), props);
        pa_proplist_free(props);
        if (!context) return;
        pa_context_set_state_callback(context, &Output::contextChanged, this);
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    }

    static void contextChanged(pa_context* c, void* self) {
        if (pa_context_get_state(c) == PA_CONTEXT_READY)
            pa_operation_unref(
                pa_context_get_sink_info_by_name(c, "@DEFAULT_SINK@", &Output::sinkFound, self));
    }

    // The stream takes the sink's own rate, and its sample format where it is one we write.
    static void sinkFound(pa_context* c, const pa_sink_info* info, int eol, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (eol != 0 || !info || self->stream) return;
        self->sampleFormat.rate = info->sample_spec.rate;
        self->sampleFormat.channels = std::clamp<std::uint8_t>(info->sample_spec.channels, 1, 2);
        self->sampleFormat.format =
            info->sample_spec.format == PA_SAMPLE_FLOAT32NE ? PA_SAMPLE_FLOAT32NE : PA_SAMPLE_S16NE;
        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "game");
        self->stream =
            pa_stream_new_with_proplist(c, self->name.c_str(), &self->sampleFormat, nullptr, props);
        pa_proplist_free(props);
        if (!self->stream) return;
        pa_stream_set_state_callback(self->stream, &Output::streamChanged, self);
        pa_stream_set_write_callback(self->stream, &Output::wanted, self);
        pa_stream_set_underflow_callback(self->stream, &Output::ranDry, self);
        self->queueBytes = pa_usec_to_bytes(kQueueMs * 1000, &self->sampleFormat);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(self->queueBytes);
        attr.prebuf = 0;  // a sound shorter than the queue starts at once
        attr.minreq =
            static_cast<std::uint32_t>(pa_usec_to_bytes(kRequestMs * 1000, &self->sampleFormat));
        attr.fragsize = static_cast<std::uint32_t>(-1);
        self->corked = true;
        pa_stream_connect_playback(self->stream, nullptr, &attr, PA_STREAM_START_CORKED, nullptr,
                                   nullptr);
    }

    static void streamChanged(pa_stream* s, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        self->ready = pa_stream_get_state(s) == PA_STREAM_READY;
        if (self->ready && self->pending) {
            const std::string path = *self->pending;
            self->pending.reset();
            self->start(path);
        }
    }

    static void wanted(pa_stream*, std::size_t bytes, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (!self->ended) self->write(bytes, false);
    }

    // Once the last sound has played out the stream is paused: the server then does nothing
    // for it until the next sound.
    static void ranDry(pa_stream* s, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (!self->ended || self->corked) return;
        self->corked = true;
        self->recent.clear();
        pa_operation_unref(pa_stream_cork(s, 1, nullptr, nullptr));
    }

    void setCut(const std::string& path);

    void start(const std::string& path) {
        setCut(path);
        write(queueBytes, true);
        if (corked) {
            corked = false;
            pa_operation_unref(pa_stream_cork(stream, 0, nullptr, nullptr));
        }
    }

    // Writes up to `bytes` of the sound. A cut overwrites what is queued from the server's read
    // position on, fading from the old sound (where it is estimated to be) into the new one.
    void write(std::size_t bytes, bool cut) {
        const int channels = sampleFormat.channels;
        const std::size_t frameBytes = pa_frame_size(&sampleFormat);
        const std::size_t n = bytes / frameBytes * channels;
        block.resize(n);
        std::size_t got = playing ? playing->take(block.data(), n) : 0;
        if (cut) {
            const std::size_t fade = std::min<std::size_t>(
                n, static_cast<std::size_t>(sampleFormat.rate) * kFadeMs / 1000 * channels);
            std::fill(block.begin() + static_cast<std::ptrdiff_t>(std::min(got, fade)),
                      block.begin() + static_cast<std::ptrdiff_t>(fade), 0);
            got = std::max(got, fade);
            // What is queued of the old sound: the queue's length less what the server asked for.
            const std::size_t writable = std::min(pa_stream_writable_size(stream), queueBytes);
            const std::size_t queued = corked ? 0 : (queueBytes - writable) / frameBytes * channels;
            if (queued > 0 && queued <= recent.size()) {
                const std::size_t from = recent.size() - queued;
                for (std::size_t k = 0; k < fade && from + k < recent.size(); ++k) {
                    const double w = static_cast<double>(k / channels + 1) / (fade / channels + 1);
                    block[k] = static_cast<std::int16_t>(recent[from + k] * (1 - w) + block[k] * w);
                }
            }
            recent.clear();
        }
        if (got < n) ended = true;
        if (got == 0) return;
        const void* data = block.data();
        if (sampleFormat.format == PA_SAMPLE_FLOAT32NE) {
            floats.resize(got);
            for (std::size_t k = 0; k < got; ++k) floats[k] = block[k] / 32768.0F;
            data = floats.data();
        }
        pa_stream_write(stream, data, got / channels * frameBytes, nullptr, 0,
                        cut ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE);
        recent.insert(recent.end(), block.begin(),
                      block.begin() + static_cast<std::ptrdiff_t>(got));
        const std::size_t keep = queueBytes / frameBytes * channels;
        if (recent.size() > keep)
            recent.erase(recent.begin(), recent.end() - static_cast<std::ptrdiff_t>(keep));
    }

    void makeRoom(std::size_t samples) {
        while (cachedSamples + samples > kCacheSamples) {
            auto oldest = cache.end();
            for (auto it = cache.begin(); it != cache.end(); ++it) {
                if (it->second.samples &&
                    (oldest == cache.end() || it->second.lastUse < oldest->second.lastUse))
                    oldest = it;
            }
            if (oldest == cache.end()) return;
            cachedSamples -= oldest->second.samples->size();
            cache.erase(oldest);
        }
    }
};

// The sound at `path` made ready to play, converted for the stream: a file is read and checked
// once, and a file that cannot be played stays silent until the program ends (reading it again
// at every play would cost the same each time: a shot fires many times a second).
void SoundPlayer::Output::setCut(const std::string& path) {
    ended = false;
    playing = std::make_unique<Playing>();
    if (cacheRate != static_cast<int>(sampleFormat.rate) ||
        cacheChannels != sampleFormat.channels) {
        cache.clear();
        cachedSamples = 0;
        cacheRate = static_cast<int>(sampleFormat.rate);
        cacheChannels = sampleFormat.channels;
    }
    auto it = cache.find(path);
    if (it != cache.end()) {
        it->second.lastUse = ++uses;
        playing->samples = it->second.samples;
        if (!it->second.streamed) return;
    }
    auto file = WavStream::open(path);
    const WavLayout layout = file ? file->layout() : WavLayout{};
    auto converter = file
                         ? std::make_unique<PcmConverter>(layout.sampleRate, layout.channels,
                                                          layout.frames(), cacheRate, cacheChannels)
                         : nullptr;
    if (converter && converter->outFrames() * cacheChannels > kStreamSamples) {
        cache[path] = {nullptr, true, ++uses};
        playing->file = std::move(file);
        playing->converter = std::move(converter);
        return;
    }
    if (it != cache.end()) return;  // a file once streamed that no longer can be
    if (!converter) {
        cache[path] = {nullptr, false, ++uses};
        return;
    }
    Samples all;
    all.reserve(converter->outFrames() * cacheChannels);
    Samples raw(kReadSamples);
    while (!converter->done()) {
        raw.resize(kReadSamples);
        raw.resize(file->read(raw));
        if (raw.empty()) break;
        converter->feed(raw, all);
    }
    makeRoom(all.size());
    cachedSamples += all.size();
    playing->samples = std::make_shared<const Samples>(std::move(all));
    cache[path] = {playing->samples, false, ++uses};
}

SoundPlayer::SoundPlayer() : out_(std::make_unique<Output>()) {}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::open(const std::string& name) {
    if (!out_->haveLoop()) return;
    pa_threaded_mainloop_lock(out_->loop);
    out_->name = name;
    out_->connect();
    pa_threaded_mainloop_unlock(out_->loop);
}

void SoundPlayer::play(const std::string& path) {
    Output& o = *out_;
    if (!o.haveLoop()) return;
    pa_threaded_mainloop_lock(o.loop);
    // A server that went away (or never was) is looked for again, at a sound, not by a timer.
    if (o.broken() && std::chrono::steady_clock::now() - o.lastTry >= kRetry) o.connect();
    if (o.ready)
        o.start(path);
    else
        o.pending = path;
    pa_threaded_mainloop_unlock(o.loop);
}

bool SoundPlayer::hasOutput() {
    if (!out_->loop) return false;
    pa_threaded_mainloop_lock(out_->loop);
    const bool ready = out_->ready && !out_->broken();
    pa_threaded_mainloop_unlock(out_->loop);
    return ready;
}

}  // namespace gombocok
