// The parts that need Qt: the game window's frame cost offscreen, the real timers of the Qt host
// under an X server, and the latency of the sound output.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

#include "audio/sound_player.h"
#include "audio/wav.h"
#include "bench/bench.h"
#include "game/splash.h"
#include "program/program.h"
#include "qt/board_window.h"
#include "qt/qt_host.h"
#include "qt/qt_platform.h"
#include "tests/support/bot.h"
#include "tests/support/test_support.h"
#include "tests/support/view_support.h"
#if __has_include("qt/opciok_dialog.h")
#include "qt/opciok_dialog.h"
#endif
#if __has_include("qt/splash_window.h")
#include "qt/splash_window.h"
#endif

namespace gombocok::bench {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto k = static_cast<std::size_t>(std::ceil(p * v.size())) - 1;
    return v[std::min(k, v.size() - 1)];
}

// The program with the windows the real one has, on a private program directory.
struct QtGame {
    testing::TempProgramDir dir;
    testing::TestQtPlatform platform{dir.path(), true};
    Program program{platform};
    QtHost host{program, platform};
    BoardWindow board{host};
#if __has_include("qt/opciok_dialog.h")
    OpciokDialog opciok{host};
#endif
#if __has_include("qt/splash_window.h")
    SplashWindow splash{host};
#endif
    testing::Bot bot{program, [this](int code) { key(code); }};
    // When the key being delivered was sent: the moment a timer it restarts counts from.
    Clock::time_point keySent;
    bool inKey = false;
    void key(int code) {
        keySent = Clock::now();
        inKey = true;
        host.run([&] { program.boardRules()->keyDown(code); });
        inKey = false;
    }
    std::map<const Timer*, std::int64_t> due;
    std::int64_t now = 0;

    QtGame() {
        host.addView(&board);
#if __has_include("qt/opciok_dialog.h")
        host.addView(&opciok);
#endif
#if __has_include("qt/splash_window.h")
        host.addView(&splash);
#endif
        host.start();
        host.run([&] {
            program.board();
            if (Splash* s = program.splashRules())
                s->hkep_Click();
            else
                program.show(WindowId::board);
        });
        host.run([&] { program.boardRules()->indit_Click(); });
    }

    // Moves the game on by `ms` of virtual time through the host's own dispatch, without the
    // event loop: the bench's driver fires the model's timers itself.
    void advanceVirtually(std::int64_t ms) {
        const std::int64_t until = now + ms;
        for (;;) {
            const Program::TimerBinding* next = nullptr;
            std::int64_t best = until + 1;
            auto bindings = program.timers();
            for (auto& b : bindings) {
                if (b.timer->interval() == 0) {
                    due.erase(b.timer);
                    continue;
                }
                auto [it, fresh] = due.try_emplace(b.timer, now + b.timer->interval());
                if (it->second < best) {
                    best = it->second;
                    next = &b;
                }
            }
            if (!next) break;
            now = best;
            due[next->timer] += next->timer->interval();
            const auto gen = next->timer->generation();
            host.run(next->tick);
            if (next->timer->generation() != gen) due.erase(next->timer);
        }
        now = until;
    }
    void climbTo(int level) {
        while (program.vars.szint < level) {
            if (now > 3'600'000) throw std::runtime_error("the bot got stuck");
            bot.climbAndHold(level);
            advanceVirtually(10);
        }
    }
};

}  // namespace

void frameCost(Report& report) {
    QtGame g;
    g.climbTo(13);
    // Play on until everything that can be on the field is there at once.
    BoardForm& f = *g.program.boardIfLoaded();
    auto onField = [&](const Line& l) {
        return l.visible && l.X1 > 0 && l.X2 < f.jmezo.Width && l.Y1 > 0 && l.Y1 < f.jmezo.Height;
    };
    for (int k = 0; k < 100'000; ++k) {
        if (onField(f.lov) && onField(f.lov2) && onField(f.lov3) && f.lov2.Y1 != f.lov3.Y1 &&
            f.ellen[0].visible && f.ellen[0].Left < f.jmezo.Width - f.ellen[0].Width)
            break;
        g.bot.climbAndHold(13);
        g.advanceVirtually(10);
    }
    if (!(onField(f.lov) && onField(f.lov2) && onField(f.lov3)))
        throw std::runtime_error("no moment with every shot in flight");
    report.note("frame at level " + std::to_string(g.program.vars.szint) +
                ": spacecraft, UFO, the player's shot and both UFO shots on the field");
    g.host.syncViews();
    QApplication::processEvents();

    for (int dpr : {1, 2}) {
        QImage image(g.board.size() * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        QImage field(g.board.field()->size() * dpr, QImage::Format_ARGB32_Premultiplied);
        field.setDevicePixelRatio(dpr);
        for (int k = 0; k < 20; ++k) g.board.render(&image);  // pictures scaled and cached
        auto timeFrames = [](const std::function<void()>& draw) {
            std::vector<double> ms;
            for (int k = 0; k < 300; ++k) {
                const auto t0 = Clock::now();
                draw();
                ms.push_back(msSince(t0));
            }
            return ms;
        };
        const auto whole = timeFrames([&] { g.board.render(&image); });
        const auto fieldOnly = timeFrames([&] { g.board.field()->render(&field); });
        const std::string x = std::to_string(dpr) + "x";
        if (const char* keep = std::getenv("GOMBOCOK_BENCH_FRAME"))
            image.save(QString::fromUtf8(keep) + QString::number(dpr) + ".png");
        report.note("device pixel ratio " + x + ": whole window median " +
                    Report::number(percentile(whole, 0.5), 3) + " ms, p99 " +
                    Report::number(percentile(whole, 0.99), 3) + " ms; the field alone median " +
                    Report::number(percentile(fieldOnly, 0.5), 3) + " ms");
        report.figure("frame_ms_dpr" + std::to_string(dpr), percentile(whole, 0.5), 3, "ms",
                      Goal::atMost(dpr == 1 ? 1 : 3));
    }
}

namespace {

// Watches the model's timers from outside, as a view added to the host: after every event it
// learns from the host's tick counts which timer ticked (each tick is its own event) and from the
// timers' generations which were started again. Each timer's ideal schedule is kept here, not
// taken from the host: a start counts from the moment of the event that made it (a key: when the
// bench sent it; a tick: that tick's ideal moment), a tick's successor one interval after the
// tick's ideal moment. Lateness is a tick's real time past its ideal moment; a period is the time
// from the previous tick (or from the start) to this one.
class TimerProbe : public View {
public:
    TimerProbe(QtGame& g) : g_(g) {}

    struct Series {
        std::string name;
        int interval = 0;
        int measured = 0;                       // the interval the samples were taken at
        std::vector<double> periods, lateness;  // ms
        Clock::time_point ideal, from;          // the next tick's ideal moment; the last tick
        bool anchored = false;  // whether `ideal` is known: a start seen, or a tick to go by
        bool running = false;
        std::uint64_t generation = 0;
        std::int64_t ticks = 0;
    };
    std::vector<Series> series;
    bool recording = false;

    void bind() {
        bindings_ = g_.program.timers();
        series.resize(bindings_.size());
        for (std::size_t k = 0; k < bindings_.size(); ++k) {
            series[k].name = bindings_[k].name;
            series[k].generation = bindings_[k].timer->generation();
            series[k].running = bindings_[k].timer->interval() != 0;
            series[k].interval = bindings_[k].timer->interval();
            series[k].ticks = ticksOf(series[k].name);
        }
    }
    void sync() override {
        if (bindings_.empty()) return;
        const auto now = Clock::now();
        Clock::time_point moment = g_.inKey ? g_.keySent : now;
        for (Series& s : series) {
            const std::int64_t n = ticksOf(s.name);
            if (n == s.ticks) continue;
            s.ticks = n;
            // Until recording starts a tick only anchors the schedule: timers started before
            // the probe have no known start, and those of the virtual climb are overdue.
            const auto ms = [](Clock::duration d) {
                return std::chrono::duration<double, std::milli>(d).count();
            };
            if (recording && s.anchored) {
                s.lateness.push_back(ms(now - s.ideal));
                s.periods.push_back(ms(now - s.from));
                s.measured = s.interval;
            }
            const auto ideal = recording && s.anchored ? s.ideal : now;
            moment = ideal;
            s.from = now;
            s.ideal = ideal + std::chrono::milliseconds(s.interval);
            s.anchored = true;
        }
        for (std::size_t k = 0; k < bindings_.size(); ++k) {
            const Timer& t = *bindings_[k].timer;
            Series& s = series[k];
            if (t.generation() == s.generation) continue;
            s.generation = t.generation();
            s.running = t.interval() != 0;
            s.interval = t.interval();
            s.anchored = s.running;
            s.from = moment;
            s.ideal = moment + std::chrono::milliseconds(s.interval);
        }
    }

private:
    std::int64_t ticksOf(const std::string& name) const {
        auto it = g_.host.ticks().find(name);
        return it == g_.host.ticks().end() ? 0 : it->second;
    }
    QtGame& g_;
    std::vector<Program::TimerBinding> bindings_;
};

}  // namespace

namespace {

// Time this process's threads spent runnable but waiting for a CPU, from the scheduler.
double runQueueWaitMs() {
    double ns = 0;
    std::error_code ec;
    for (const auto& t : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream in(t.path() / "schedstat");
        double run = 0, wait = 0;
        if (in >> run >> wait) ns += wait;
    }
    return ns / 1e6;
}

double processCpuMs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

}  // namespace

// The same measures on bare QTimers with nothing else to do, for comparison: a periodic 10 ms
// timer and one started again at each of its ticks, as the game restarts its shot timers.
void bareTimers(Report& report, int seconds) {
    for (bool restarted : {false, true}) {
        QTimer t;
        t.setTimerType(Qt::PreciseTimer);
        std::vector<double> periods, lateness;
        Clock::time_point armed = Clock::now(), last = armed;
        int ticks = 0;
        QObject::connect(&t, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            ++ticks;
            periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            lateness.push_back(std::chrono::duration<double, std::milli>(now - armed).count() -
                               10.0 * ticks);
            last = now;
            if (restarted) {
                t.start(10);
                armed = Clock::now();
                last = armed;
                ticks = 0;
            }
        });
        t.start(10);
        armed = last = Clock::now();
        QTimer::singleShot(seconds * 1000, [] { QApplication::quit(); });
        QApplication::exec();
        double sum = 0;
        for (double p : periods) sum += p;
        const std::string name = restarted ? "bare_restarted" : "bare_periodic";
        report.note(name + " QTimer (10 ms): " + std::to_string(periods.size()) +
                    " ticks, mean period " + Report::number(sum / periods.size(), 3) +
                    " ms, p99 lateness " + Report::number(percentile(lateness, 0.99), 2) + " ms");
    }
}

void realTimers(Report& report, int seconds) {
    bareTimers(report, 3);
    double waited0Rec = 0;
    QtGame g;
    g.climbTo(13);
    report.note("level " + std::to_string(g.program.vars.szint) +
                " reached on the bench's virtual driver; the real event loop takes over");
    TimerProbe probe(g);
    g.host.addView(&probe);
    probe.bind();

    // The player: every 20 ms it keeps a reverse shot flying and dodges; a UFO that got past is
    // sent round again by the wave cheat, so the level holds.
    QObject playerOwner;
    QTimer player(&playerOwner);
    player.setTimerType(Qt::PreciseTimer);
    QObject::connect(&player, &QTimer::timeout, [&] {
        BoardForm& f = *g.program.boardIfLoaded();
        if (f.ellen[0].Left < f.urhajo.Left) g.key(vk::Y);
        g.bot.climbAndHold(13);
    });
    player.start(20);
    const auto waited0 = runQueueWaitMs();
    QTimer::singleShot(500, [&] { waited0Rec = runQueueWaitMs(); });
    // Overdue timers from the virtual climb fire at once: let them settle before recording.
    double cpu0 = 0;
    Clock::time_point wall0;
    QTimer::singleShot(500, [&] {
        probe.recording = true;
        cpu0 = processCpuMs();
        wall0 = Clock::now();
    });
    double cpuShare = 0;
    QTimer::singleShot(500 + seconds * 1000,
                       [&] { cpuShare = 100 * (processCpuMs() - cpu0) / msSince(wall0); });
    QTimer::singleShot(500 + seconds * 1000, [&] { QApplication::quit(); });
    QApplication::exec();
    (void)waited0;
    report.note("the bench's threads waited " + Report::number(runQueueWaitMs() - waited0Rec, 0) +
                " ms in " + std::to_string(seconds) +
                " s for a CPU (other processes on the machine), load " + loadAverage());
    report.note("play at level 13 in this process (the program, the bench's player and probe): " +
                Report::number(cpuShare, 2) + " % of one core");
    report.figure("cpu_play_level13", cpuShare, 2, "%", Goal::atMost(1.5));
    if (g.program.vars.szint != 13)
        report.note("the level moved on to " + std::to_string(g.program.vars.szint));

    for (const auto& s : probe.series) {
        if (s.periods.size() < 3) continue;
        double sum = 0;
        for (double p : s.periods) sum += p;
        const double mean = sum / s.periods.size();
        const double off = 100.0 * (mean - s.measured) / s.measured;
        report.note(s.name + " (" + std::to_string(s.measured) +
                    " ms): " + std::to_string(s.periods.size()) + " ticks, mean period " +
                    Report::number(mean, 3) + " ms, max lateness " +
                    Report::number(*std::max_element(s.lateness.begin(), s.lateness.end()), 2) +
                    " ms");
        report.figure("timer_" + s.name + "_mean_off", std::fabs(off), 2, "%", Goal::atMost(0.1));
        report.figure("timer_" + s.name + "_p99_late", percentile(s.lateness, 0.99), 2, "ms",
                      Goal::atMost(1));
    }
}

namespace {

// A WAV file of a square wave of `level`: at 20000 the first sample that leaves the sink is loud;
// at 3000 it stays below what counts as loud.
void writeTone(const std::string& path, int rate, int ms, int level = 20000) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(rate * ms / 1000));
    for (std::size_t k = 0; k < samples.size(); ++k)
        samples[k] = static_cast<std::int16_t>((k / 50) % 2 ? level : -level);
    const std::vector<std::uint8_t> bytes = encodeWav(samples, rate, 1);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

// The null sink's monitor is read by `parec` on a pipe; a thread notes when the first loud
// samples arrive. The time from the play call to then is the latency, the recorder's own
// delivery included: from silence, and for a cut (the loud tone starting while a quiet hum still
// sounds, so what is queued of the hum must be dropped for the tone to come at once). On
// PipeWire the recorder asks for the latency the game asks for (256 frames at 48 kHz), so it
// never pulls the graph's quantum below the game's own; on PulseAudio, which has no quantum, it
// asks for 1 ms, so the null sink mixes as soon as a rewind lets it.
void soundLatency(Report& report, const std::string& server, const std::string& monitor, int plays,
                  const std::string& jingle) {
    testing::TempProgramDir dir{""};
    const std::string tone = dir.file("tone.wav");
    writeTone(tone, 44100, 150);
    const std::string hum = dir.file("hum.wav");
    writeTone(hum, 44100, 2000, 3000);
    SoundPlayer player;
    player.prepare({tone, hum, jingle});
    player.open("gombocok_bench");
    for (int k = 0; k < 300 && !player.hasOutput(); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!player.hasOutput()) throw std::runtime_error("no audio output");
    // What the game's thread spends in a play call: all it ever does with the sound lock held.
    std::vector<double> calls;
    auto play = [&](const std::string& path) {
        const auto t0 = Clock::now();
        player.play(path);
        calls.push_back(msSince(t0));
    };

    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("no pipe");
    const pid_t parec = fork();
    if (parec == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        const std::string device = "--device=" + monitor;
        const char* latency = server == "pipewire" ? "--latency=512" : "--latency-msec=1";
        execlp("parec", "parec", device.c_str(), "--raw", "--format=s16le", "--rate=48000",
               "--channels=1", latency, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    FILE* pipe = fdopen(fds[0], "r");
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> loudAt{-1};  // ns on the steady clock
    std::thread reader([&] {
        std::int16_t buf[64];
        while (!stop) {
            const std::size_t n = fread(buf, 2, 64, pipe);
            if (n == 0) break;
            const auto now = Clock::now().time_since_epoch().count();
            for (std::size_t k = 0; k < n; ++k)
                if (std::abs(buf[k]) > 8000) {
                    std::int64_t none = -1;
                    loudAt.compare_exchange_strong(none, now);
                    break;
                }
        }
    });

    // Stops the reader whatever happens below.
    struct Stop {
        std::atomic<bool>& stop;
        pid_t parec;
        std::thread& reader;
        FILE* pipe;
        ~Stop() {
            stop = true;
            kill(parec, SIGTERM);
            reader.join();
            fclose(pipe);
            waitpid(parec, nullptr, 0);
        }
    } stopReader{stop, parec, reader, pipe};

    auto waitEvents = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 1);
    };
    waitEvents(500);  // parec connected
    // The monitor of a server that has played nothing yet hands over its first samples late
    // (hundreds of ms, for any client): two plays, not counted, get it going.
    for (int k = 0; k < 2; ++k) {
        play(tone);
        waitEvents(500);
    }
    auto latencyOf = [&] {
        loudAt = -1;
        const auto t0 = Clock::now();
        play(tone);
        QElapsedTimer t;
        t.start();
        while (loudAt < 0 && t.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        if (loudAt < 0) throw std::runtime_error("no sound reached the monitor");
        return (loudAt - t0.time_since_epoch().count()) / 1e6;
    };
    std::vector<double> latencies, cuts;
    for (int k = 0; k < plays; ++k) {
        latencies.push_back(latencyOf());
        waitEvents(300 + k * 7);  // the tone ends; the next play falls at another phase
        play(hum);
        waitEvents(150 + k * 7);
        cuts.push_back(latencyOf());
        waitEvents(300);
    }
    const std::string prefix = "sound_latency_" + server;
    std::string all;
    for (double l : latencies) all += " " + Report::number(l, 1);
    report.note(server + ": sound latencies, ms, in order:" + all);
    report.figure(prefix + "_median", percentile(latencies, 0.5), 1, "ms",
                  Goal::atMost(server == "pipewire" ? 15 : 5));
    report.figure(prefix + "_p99", percentile(latencies, 0.99), 1, "ms",
                  server == "pipewire" ? Goal::atMost(30) : Goal{});
    std::string allCuts;
    for (double l : cuts) allCuts += " " + Report::number(l, 1);
    report.note(server + ": cut latencies, ms, in order:" + allCuts);
    report.figure("sound_cut_latency_" + server + "_median", percentile(cuts, 0.5), 1, "ms",
                  Goal::atMost(server == "pipewire" ? 15 : 5));

    // A storm of shots as fast as keys repeat, and faster.
    for (int k = 0; k < 2000; ++k) {
        play(k % 2 ? tone : hum);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    report.note(server + ": longest play call " +
                Report::number(*std::max_element(calls.begin(), calls.end()), 3) + " ms of " +
                std::to_string(calls.size()));
    report.figure("sound_lock_hold_" + server + "_p99", percentile(calls, 0.99), 3, "ms",
                  Goal::atMost(0.1));

    // The title jingle as the server plays it, recorded at the sink's own rate, 48 kHz.
    if (jingle.empty()) return;
    waitEvents(500);
    const std::string recording = dir.file("jingle.raw");
    const pid_t recorder = fork();
    if (recorder == 0) {
        const int fd = ::open(recording.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) _exit(127);
        dup2(fd, 1);
        const std::string device = "--device=" + monitor;
        execlp("parec", "parec", device.c_str(), "--raw", "--format=float32le", "--rate=48000",
               "--channels=1", "--latency-msec=20", static_cast<char*>(nullptr));
        _exit(127);
    }
    waitEvents(300);
    play(jingle);
    waitEvents(3500);
    kill(recorder, SIGTERM);
    waitpid(recorder, nullptr, 0);
    std::ifstream in(recording, std::ios::binary);
    std::vector<float> samples;
    float v;
    while (in.read(reinterpret_cast<char*>(&v), sizeof v)) samples.push_back(v);
    float peak = 0;
    for (float x : samples) peak = std::max(peak, std::fabs(x));
    if (peak < 0.01F) throw std::runtime_error("the jingle was not heard at the monitor");
    report.figure("sound_jingle_images_" + server + "_48k", shareAboveDb(samples, 48000, 11100), 1,
                  "dB", Goal::atMost(-70));
}

}  // namespace gombocok::bench
