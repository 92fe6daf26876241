// The main window's playback commands: the hand-over at the end of a run, the tick of
// Timer1, the forced stop and the end of a playback.
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "playback/PlaybackTick.h"
#include "runtime/Conversions.h"
#include "ui/FaultMessages.h"
#include "ui/FormSlot.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"

namespace kestrel {

struct PlaybackParts {
    explicit PlaybackParts(MainWindow& window);

    // "強制終了(&X)": asks first; Yes stops the playback, No lets it go on.
    void AskForcedStop();
    // The close box of the playback window: a forced stop without the question.
    void StopAtFrameClose();
    // The end of the playback (last point, nothing to show, or a fault): the timer stops
    // first, so that no tick runs behind the message, then the message is shown over the
    // final picture, then the playback window goes and the main window comes back.
    void Finish(const QString& prompt, int style, const QString& title);

    MainWindow& main;
    FormSlot<PictureWindow> frmPicture;
    // The run being played: its own copy of the inputs and the response (whose series it
    // shares), so that a later run leaves it as it is.
    RunInputs inputs;
    std::optional<Response> response;
    PlaybackTicker ticker;

    bool playing = false;    // from the hand-over until the playback stops or ends
    int playbackNumber = 0;  // counts playbacks, so that a late answer knows its own
    // The forced-stop question keeps the event loop and with it the timer running, so the
    // playback may end while the question is still open. The window is then only hidden:
    // it goes once the question is answered.
    int questionsOpen = 0;
    bool discardWaiting = false;

private:
    void StopAndReturn();
    void DiscardWindow();
};

PlaybackParts::PlaybackParts(MainWindow& window)
    : main(window), frmPicture([this] {
          auto* form = new PictureWindow(&main);
          QObject::connect(form, &PictureWindow::ForcedStopAsked, form,
                           [this] { AskForcedStop(); });
          QObject::connect(form, &PictureWindow::FrameCloseAsked, form,
                           [this] { StopAtFrameClose(); });
          return form;
      }) {}

void PlaybackParts::AskForcedStop() {
    const int asked = playbackNumber;
    ++questionsOpen;
    const int answer = main.Messages().ShowMessage(QStringLiteral("終了します。"),
                                                   kYesNoInformation, QStringLiteral("強制終了"));
    --questionsOpen;
    if (questionsOpen == 0 && discardWaiting) {
        discardWaiting = false;
        frmPicture.Unload();
    }
    // The playback this question was about has ended meanwhile: nothing is left to stop.
    if (!playing || playbackNumber != asked) return;
    if (answer == kAnswerYes) {
        StopAndReturn();
    } else {
        main.Messages().Beep();
    }
}

void PlaybackParts::StopAtFrameClose() {
    if (playing) StopAndReturn();
}

void PlaybackParts::StopAndReturn() {
    main.Timer1->stop();
    playing = false;
    main.show();
    DiscardWindow();
}

void PlaybackParts::Finish(const QString& prompt, int style, const QString& title) {
    main.Timer1->stop();
    playing = false;
    main.Messages().ShowMessage(prompt, style, title);
    DiscardWindow();
    main.show();
}

void PlaybackParts::DiscardWindow() {
    if (questionsOpen > 0) {
        // The question box may belong to the window: it must outlive the question.
        if (PictureWindow* form = frmPicture.IfLoaded()) form->hide();
        discardWaiting = true;
        return;
    }
    frmPicture.Unload();
}

void PlaybackPartsDeleter::operator()(PlaybackParts* parts) const {
    delete parts;
}

PlaybackParts* CreatePlaybackParts(MainWindow& window) {
    auto* parts = new PlaybackParts(window);
    // Ticks of a few milliseconds: the coarse timer would stretch a playback by a third.
    window.Timer1->setTimerType(Qt::PreciseTimer);
    QObject::connect(window.Timer1, &QTimer::timeout, &window, &MainWindow::Timer1_Timer);
    return parts;
}

void MainWindow::HandOverToPlayback(const CompletedRun& run) {
    // Half the real duration of a step; below a millisecond the timer would never tick.
    Timer1->setInterval(std::max(run.playbackIntervalMs, 1));
    if (!chkPicture->isChecked()) {
        Messages().ShowMessage(QStringLiteral("終了しました。"), kOkInformation,
                               QStringLiteral("解析終了"));
        return;
    }

    PlaybackParts& parts = Playback();
    // Every playback starts in a new window, even if the last one is still waiting to go.
    parts.frmPicture.Unload();
    parts.discardWaiting = false;
    parts.inputs = run.inputs;
    parts.response = run.response;
    parts.ticker.Reset();
    parts.playing = true;
    ++parts.playbackNumber;

    PictureWindow& form = parts.frmPicture.Get();
    form.show();
    hide();
    form.ShowNaturalPeriod(NumberText(run.inputs.naturalPeriod));
    Timer1->start();
}

int MainWindow::PlayedPoints() const {
    return playback_->ticker.NextPoint();
}

void MainWindow::Timer1_Timer() {
    PlaybackParts& parts = Playback();
    if (!parts.playing || !parts.response) return;

    const ExcitationCase c = parts.inputs.excitation;
    const TickResult result = parts.ticker.Tick(*parts.response, parts.inputs);
    switch (result.outcome) {
        case TickResult::Outcome::Shown:
            parts.frmPicture.Get().ShowPoint(result.frame, parts.ticker, InputCaptionsFor(c));
            break;
        case TickResult::Outcome::ShownLast:
            parts.frmPicture.Get().ShowPoint(result.frame, parts.ticker, InputCaptionsFor(c));
            [[fallthrough]];
        case TickResult::Outcome::NothingToShow:
            parts.Finish(QStringLiteral("終了しました。"), kOkInformation,
                         QStringLiteral("解析終了"));
            break;
        case TickResult::Outcome::Faulted:
            parts.Finish(FaultMessage(result.fault), kOkExclamation,
                         QStringLiteral("動画表示エラー"));
            break;
    }
}

}  // namespace kestrel
