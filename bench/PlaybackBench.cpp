// Speed of the playback: one tick's logic, one tick applied to the window (drawing and the
// thirteen boxes), the same with the repaint, and whole playbacks on the real timer.
// Without a display it runs on the offscreen platform; under a virtual display (xvfb-run)
// it paints to that display.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "analysis/RunFromTexts.h"
#include "playback/PlaybackTick.h"
#include "runtime/MessageService.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"
#include "ui/PlaybackController.h"

namespace kestrel {
namespace {

// A control of the main window by the name the program gives it.
template <typename Control>
Control* Named(const QObject& window, const char* name) {
    return window.findChild<Control*>(QString::fromLatin1(name));
}

// The resident memory of the process, in kB.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

// A finished default run (steady acceleration, 1,002 points) and a ticker over it that
// starts again from point 0 whenever the playback is over.
struct Playback {
    Playback() { ticker.Reset(); }
    TickResult Next() {
        TickResult r = ticker.Tick(*run.response, *run.inputs);
        if (r.outcome != TickResult::Outcome::Shown) ticker.Reset();
        return r;
    }
    RunOutcome run = RunFromTexts(RunTexts{}, ExcitationCase::SteadyAcceleration, {});
    PlaybackTicker ticker;
};

void BM_TickLogic(benchmark::State& bench) {
    Playback playback;
    for (auto _ : bench) benchmark::DoNotOptimize(playback.Next());
}

// The window's part of a tick; with repaint, also the painting of what changed.
void TickOnWindow(benchmark::State& bench, bool repaint) {
    Playback playback;
    PictureWindow window;
    window.show();
    QApplication::processEvents();
    const InputCaptions captions = InputCaptionsFor(ExcitationCase::SteadyAcceleration);
    long residentBefore = 0;
    std::int64_t ticks = 0;
    for (auto _ : bench) {
        const TickResult r = playback.Next();
        window.ShowPoint(r.frame, playback.ticker, captions);
        if (repaint) QApplication::processEvents();
        // Memory is measured from the 2,000th tick on, once every surface is in use.
        if (++ticks == 2000) residentBefore = ResidentKb();
    }
    if (ticks >= 2000) {
        bench.counters["rss_growth_kB"] = static_cast<double>(ResidentKb() - residentBefore);
    }
}
void BM_TickOnWindow(benchmark::State& bench) {
    TickOnWindow(bench, false);
}
void BM_TickOnWindowWithRepaint(benchmark::State& bench) {
    TickOnWindow(bench, true);
}

// Answers every message at once and ends the waiting loop at the end message.
class EndWatcher : public MessageService {
public:
    explicit EndWatcher(QEventLoop& loop) : loop_(loop) {}
    int ShowMessage(const QString&, int, const QString&) override {
        loop_.quit();
        return kAnswerOk;
    }
    void Beep() override {}
    void EndProgram() override {}

private:
    QEventLoop& loop_;
};

// A whole playback of 1,001 ticks on the real timer, from the hand-over to the end
// message. Time step 0.01 s: 5 ms a tick, 5.005 s nominal; 0.002 s: 1 ms, 1.001 s.
void BM_WholePlayback(benchmark::State& bench, const char* timeStep, const char* duration) {
    for (auto _ : bench) {
        QEventLoop loop;
        EndWatcher messages(loop);
        MainWindow window(messages);
        Named<QLineEdit>(window, "txtTs")->setText(QString::fromLatin1(timeStep));
        Named<QLineEdit>(window, "txtTl")->setText(QString::fromLatin1(duration));
        QElapsedTimer clock;
        clock.start();
        Named<QPushButton>(window, "cmdStart")->click();
        loop.exec();
        bench.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        bench.counters["ticks"] = window.Playback().PlayedPoints();
        bench.counters["interval_ms"] = Named<QTimer>(window, "Timer1")->interval();
    }
}

// "解析開始" with the default inputs, from the click until control is back in the event
// loop: the run and either the end message (answered at once) or the hand-over, which
// creates and shows the playback window.
class AnswerAtOnce : public MessageService {
public:
    int ShowMessage(const QString&, int, const QString&) override { return kAnswerOk; }
    void Beep() override {}
    void EndProgram() override {}
};

void BM_DefaultRunClick(benchmark::State& bench, bool animation) {
    AnswerAtOnce messages;
    for (auto _ : bench) {
        bench.PauseTiming();
        auto window = std::make_unique<MainWindow>(messages);
        Named<QCheckBox>(*window, "chkPicture")->setChecked(animation);
        window->show();
        QApplication::processEvents();
        bench.ResumeTiming();
        Named<QPushButton>(*window, "cmdStart")->click();
        bench.PauseTiming();
        Named<QTimer>(*window, "Timer1")->stop();
        window.reset();
        QApplication::processEvents();
        bench.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(BM_DefaultRunClick, endMessage, false)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_DefaultRunClick, handOverToPlayback, true)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_TickLogic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickOnWindow)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_TickOnWindowWithRepaint)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(BM_WholePlayback, interval5ms, "0.01", "10")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_WholePlayback, interval1ms, "0.002", "2")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
