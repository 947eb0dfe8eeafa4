#include "audio/sound_player.h"

#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>

#include "audio/channel.h"
#include "audio/sound_library.h"
#include "base/catalogue.h"

namespace gombocok {
namespace {

using Clock = std::chrono::steady_clock;

// What the stream asks the server to keep queued, and how much must have played before the
// server asks for more. Each server gets what makes a start or a cut quick at the least cost:
//
// PulseAudio rewinds what it has mixed when a queue is replaced, so a start is heard at once
// whatever is queued; a long queue only spares wake-ups. The server mixes 250 - 2 * 50 ms ahead
// and it and the game wake every 50 ms or so while a sound plays (a 40 ms queue, mixed about
// 12 ms ahead, cost the server 2-3 % of a core in play, this 0.2 %).
constexpr int kPulseQueueMs = 250;
constexpr int kPulseRequestMs = 50;
// PipeWire mixes one quantum at a time and never takes back what it has mixed, and its
// PulseAudio service hands a stream's samples to the graph a quantum after it took them: a sound
// is heard one to two quanta after its start. The quantum is the shortest latency the running
// streams ask for; with PA_STREAM_ADJUST_LATENCY that is (queue - 2 * request) / 2. An effect asks
// for 256 frames (5.3 ms at 48 kHz, pipewire-pulse's smallest quantum); the music, which only an
// effect cuts and nothing waits for, asks for 2048, since a quantum of 256 costs the servers four
// times the CPU (4.8 % of a core against 1.2 %). The request is long either way: what is queued
// never delays a start (a start replaces it), and the game then wakes every 85 ms. Paused, the
// stream asks for nothing and the graph goes back to its own quantum.
constexpr std::uint32_t kPipeWireRequestFrames = 4096;
constexpr std::uint32_t kPipeWireEffectLatency = 256;
constexpr std::uint32_t kPipeWireMusicLatency = 2048;
// The old sound fades out and the new one in over this long at a cut, so the cut does not click.
constexpr int kFadeMs = 1;
// A server that failed is looked for again at a sound at most this often.
constexpr auto kRetry = std::chrono::milliseconds(200);
// A sound asked for while the output was away is not started later than this.
constexpr auto kStale = std::chrono::seconds(1);

}  // namespace

struct SoundPlayer::Output final : ServerLink {
    // Between the game's thread and the loop's: a note and a wake-up, nothing else.
    std::mutex mailbox;
    std::optional<std::string> asked, openAsked;
    std::atomic<bool> ready{false};
    std::atomic<int> wakeFd{-1};
    std::unique_ptr<SoundLibrary> library = std::make_unique<SoundLibrary>([this] { wake(); });

    pa_threaded_mainloop* loop = nullptr;
    pa_io_event* wakeEvent = nullptr;

    // Everything below belongs to the loop's thread.
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    std::string name{text::gameName.hu};  // until open() names the stream
    bool pipewire = false;
    bool musicLatency = false;  // what the stream asks of PipeWire now
    pa_sample_spec sampleSpec{};
    std::size_t frameBytes = 0, queueBytes = 0;
    std::optional<SoundChannel> channel;
    std::optional<std::string> pending;  // a sound that waits for the output or its samples
    Clock::time_point pendingSince, lastTry;
    bool tried = false;
    std::vector<float> floats;

    ~Output() override {
        // The loop's thread asks the library for sounds, and the library's thread wakes the loop
        // through wakeFd: the loop stops first, the library next, the descriptor last.
        if (loop) pa_threaded_mainloop_stop(loop);
        library.reset();
        drop();
        if (wakeEvent) pa_threaded_mainloop_get_api(loop)->io_free(wakeEvent);
        if (loop) pa_threaded_mainloop_free(loop);
        if (wakeFd >= 0) ::close(wakeFd);
    }

    void wake() const {
        const int fd = wakeFd;
        if (fd < 0) return;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
    }

    // The loop's thread, started at the first use, woken through an eventfd.
    bool haveLoop() {
        if (loop) return true;
        const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (fd < 0) return false;
        loop = pa_threaded_mainloop_new();
        if (!loop) {
            ::close(fd);
            return false;
        }
        wakeFd = fd;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
        wakeEvent = api->io_new(api, wakeFd, PA_IO_EVENT_INPUT, &Output::woken, this);
        if (!wakeEvent || pa_threaded_mainloop_start(loop) < 0) {
            if (wakeEvent) api->io_free(wakeEvent);
            wakeEvent = nullptr;
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
        }
        return loop != nullptr;
    }

    static void woken(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(fd, &count, sizeof count);
        std::optional<std::string> asked, openAsked;
        {
            std::lock_guard lock(self->mailbox);
            asked.swap(self->asked);
            openAsked.swap(self->openAsked);
        }
        const auto now = Clock::now();
        if (openAsked) {
            self->name = *openAsked;
            self->connect();
        }
        if (asked) {
            // A server that went away (or never was) is looked for again at a sound.
            if (self->broken() && (!self->tried || now - self->lastTry >= kRetry))
                self->connect();
            else if (!self->stream && self->contextReady() && now - self->lastTry >= kRetry)
                self->lookUpOutput();
            self->pending = std::move(asked);
            self->pendingSince = now;
        }
        self->startPending();
    }

    bool contextReady() const {
        return context && pa_context_get_state(context) == PA_CONTEXT_READY;
    }
    bool broken() const { return !context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(context)); }

    void startPending() {
        if (!pending || !channel) return;
        if (Clock::now() - pendingSince > kStale) {
            pending.reset();
            return;
        }
        const OutputFormat format = channel->format();
        const auto found = library->find(*pending, format);
        if (!found) return;  // the library wakes us when it is ready
        std::unique_ptr<SoundSource> sound;
        if (found->kind == SoundLibrary::Ready::streamed)
            sound = StreamedSound::open(*pending, format);
        else
            sound = std::make_unique<HeldSound>(found->samples);
        pending.reset();
        const bool music = found->kind == SoundLibrary::Ready::streamed;
        if (pipewire && music != musicLatency && !channel->awaitingServer()) {
            musicLatency = music;
            const pa_buffer_attr attr = pipeWireBuffer(music);
            pa_operation_unref(pa_stream_set_buffer_attr(stream, &attr, &Output::resized, this));
        }
        channel->play(std::move(sound), queuedFrames(), *this);
    }

    // What the server holds of what we wrote, as far as we know: the queue less what it asked.
    std::size_t queuedFrames() const {
        if (!stream || frameBytes == 0) return 0;
        const std::size_t writable = std::min(pa_stream_writable_size(stream), queueBytes);
        return (queueBytes - writable) / frameBytes;
    }

    void connect() {
        lastTry = Clock::now();
        tried = true;
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
        pa_context_set_subscribe_callback(context, &Output::serverChanged, this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) drop();
    }

    void dropStream() {
        ready = false;
        channel.reset();
        if (!stream) return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }

    void drop() {
        dropStream();
        if (!context) return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }

    static void contextChanged(pa_context* c, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        const pa_context_state_t state = pa_context_get_state(c);
        if (state == PA_CONTEXT_READY) {
            // Sinks that come and go and a changed default are reported: no polling.
            pa_operation_unref(pa_context_subscribe(
                c,
                static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                    PA_SUBSCRIPTION_MASK_SERVER),
                nullptr, nullptr));
            self->lookUpOutput();
        } else if (!PA_CONTEXT_IS_GOOD(state)) {
            self->drop();  // looked for again at the next sound
        }
    }

    static void serverChanged(pa_context*, pa_subscription_event_type_t event, std::uint32_t,
                              void* userdata) {
        const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        const auto type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER ||
            (facility == PA_SUBSCRIPTION_EVENT_SINK && type == PA_SUBSCRIPTION_EVENT_NEW))
            static_cast<Output*>(userdata)->lookUpOutput();
    }

    // The default sink, and a stream made for it when there is none or its format changed.
    void lookUpOutput() {
        if (!contextReady()) return;
        pa_operation_unref(pa_context_get_server_info(context, &Output::serverFound, this));
    }

    static void serverFound(pa_context* c, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (!info || !info->default_sink_name || !*info->default_sink_name) return;
        self->pipewire = info->server_name && std::strstr(info->server_name, "PipeWire");
        pa_operation_unref(
            pa_context_get_sink_info_by_name(c, info->default_sink_name, &Output::sinkFound, self));
    }

    static void sinkFound(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (eol != 0 || !info) return;
        pa_sample_spec wanted{};
        wanted.rate = info->sample_spec.rate;
        wanted.channels = std::clamp<std::uint8_t>(info->sample_spec.channels, 1, 2);
        wanted.format =
            info->sample_spec.format == PA_SAMPLE_FLOAT32NE ? PA_SAMPLE_FLOAT32NE : PA_SAMPLE_S16NE;
        if (self->stream && PA_STREAM_IS_GOOD(pa_stream_get_state(self->stream)) &&
            pa_sample_spec_equal(&wanted, &self->sampleSpec))
            return;
        self->makeStream(wanted);
    }

    // The buffer asked of PipeWire for an effect or for the music.
    pa_buffer_attr pipeWireBuffer(bool music) const {
        const auto frame = static_cast<std::uint32_t>(frameBytes);
        const std::uint32_t latency = music ? kPipeWireMusicLatency : kPipeWireEffectLatency;
        pa_buffer_attr attr{};
        attr.minreq = kPipeWireRequestFrames * frame;
        attr.tlength = (2 * latency + 2 * kPipeWireRequestFrames) * frame;
        return bounded(attr);
    }

    static pa_buffer_attr bounded(pa_buffer_attr attr) {
        // The server holds no more than the queue: what it has not asked for is never sent.
        attr.maxlength = attr.tlength;
        attr.prebuf = 0;  // a sound shorter than the queue starts at once
        attr.fragsize = static_cast<std::uint32_t>(-1);
        return attr;
    }

    void makeStream(const pa_sample_spec& wanted) {
        dropStream();
        sampleSpec = wanted;
        frameBytes = pa_frame_size(&sampleSpec);
        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "game");
        stream = pa_stream_new_with_proplist(context, name.c_str(), &sampleSpec, nullptr, props);
        pa_proplist_free(props);
        if (!stream) return;
        pa_stream_set_state_callback(stream, &Output::streamChanged, this);
        pa_stream_set_write_callback(stream, &Output::wanted, this);
        pa_stream_set_underflow_callback(stream, &Output::ranDry, this);
        pa_buffer_attr attr = pipewire ? pipeWireBuffer(false) : pa_buffer_attr{};
        if (!pipewire) {
            attr.tlength =
                static_cast<std::uint32_t>(pa_usec_to_bytes(kPulseQueueMs * 1000, &sampleSpec));
            attr.minreq =
                static_cast<std::uint32_t>(pa_usec_to_bytes(kPulseRequestMs * 1000, &sampleSpec));
            attr = bounded(attr);
        }
        musicLatency = false;
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_START_CORKED | (pipewire ? PA_STREAM_ADJUST_LATENCY : 0));
        if (pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
            dropStream();
    }

    static void streamChanged(pa_stream* s, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        const pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_READY) {
            const pa_buffer_attr* attr = pa_stream_get_buffer_attr(s);
            self->queueBytes = attr ? attr->tlength : 0;
            const OutputFormat format{static_cast<int>(self->sampleSpec.rate), self->sampleSpec.channels};
            self->channel.emplace(format, self->queueBytes / self->frameBytes,
                                  static_cast<std::size_t>(format.rate) * kFadeMs / 1000);
            self->library->setFormat(format);
            self->ready = true;
            self->startPending();
        } else if (!PA_STREAM_IS_GOOD(state)) {
            // Its sink went away with no other to move to: a new sink is reported.
            self->dropStream();
        }
    }

    static void resized(pa_stream* s, int, void* userdata) {
        const pa_buffer_attr* attr = pa_stream_get_buffer_attr(s);
        if (attr) static_cast<Output*>(userdata)->queueBytes = attr->tlength;
    }

    static void wanted(pa_stream*, std::size_t bytes, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (self->channel) self->channel->requested(bytes / self->frameBytes, *self);
    }

    static void ranDry(pa_stream*, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (self->channel) self->channel->ranDry(*self);
    }

    static void flushed(pa_stream*, int, void* userdata) {
        auto* self = static_cast<Output*>(userdata);
        if (self->channel) self->channel->confirmed(self->queuedFrames(), *self);
        self->startPending();
    }

    // ServerLink, on the loop's thread. A replacement is a flush and a write: the server asks
    // again for what the flush dropped, so its count of what it asked for stays true.
    void replace(std::span<const std::int16_t> samples) override {
        pa_operation_unref(pa_stream_flush(stream, &Output::flushed, this));
        send(samples);
    }
    void append(std::span<const std::int16_t> samples) override { send(samples); }
    void pause(bool paused) override {
        pa_operation_unref(pa_stream_cork(stream, paused ? 1 : 0, nullptr, nullptr));
    }

    void send(std::span<const std::int16_t> samples) {
        if (samples.empty()) return;
        const void* data = samples.data();
        if (sampleSpec.format == PA_SAMPLE_FLOAT32NE) {
            floats.resize(samples.size());
            for (std::size_t k = 0; k < samples.size(); ++k) floats[k] = samples[k] / 32768.0F;
            data = floats.data();
        }
        pa_stream_write(stream, data, samples.size() / sampleSpec.channels * frameBytes, nullptr, 0,
                        PA_SEEK_RELATIVE);
    }
};

SoundPlayer::SoundPlayer() : out_(std::make_unique<Output>()) {}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::prepare(const std::vector<std::string>& paths) {
    out_->library->prepare(paths);
}

void SoundPlayer::open(const std::string& name) {
    if (!out_->haveLoop()) return;
    {
        std::lock_guard lock(out_->mailbox);
        out_->openAsked = name;
    }
    out_->wake();
}

void SoundPlayer::play(const std::string& path) {
    if (!out_->haveLoop()) return;
    std::optional<std::string> note = path;  // made before the lock is taken
    bool waiting;
    {
        std::lock_guard lock(out_->mailbox);
        waiting = out_->asked.has_value();
        out_->asked.swap(note);
    }
    // A note not yet taken has its wake-up on the way.
    if (!waiting) out_->wake();
}

bool SoundPlayer::hasOutput() const {
    return out_->ready;
}

}  // namespace gombocok
