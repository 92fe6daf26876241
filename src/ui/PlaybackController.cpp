#include "ui/PlaybackController.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "runtime/Conversions.h"
#include "ui/FaultMessages.h"
#include "ui/PictureWindow.h"

namespace kestrel {

PlaybackController::PlaybackController(QWidget& home, MessageService& messages)
    : QObject(&home), home_(home), messages_(messages), frmPicture_([this] {
          auto* form = new PictureWindow(&home_);
          connect(form, &PictureWindow::ForcedStopAsked, this, [this] { AskForcedStop(); });
          connect(form, &PictureWindow::FrameCloseAsked, this, [this] { StopAtFrameClose(); });
          return form;
      }) {
    setObjectName(QStringLiteral("playback"));
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(50);
    // Ticks of a few milliseconds: the coarse timer would stretch a playback by a third.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &PlaybackController::Tick);
}

PlaybackController::~PlaybackController() = default;

void PlaybackController::Play(std::shared_ptr<const SteppedRun> run) {
    // Half the real duration of a step; below a millisecond the timer would never tick.
    timer_->setInterval(std::max(run->playbackIntervalMs, 1));
    // Every playback starts in a new window, even if the last one is still waiting to go.
    frmPicture_.Unload();
    discardWaiting_ = false;
    run_ = std::move(run);
    ticker_.Reset();
    playing_ = true;
    ++playbackNumber_;

    PictureWindow& form = frmPicture_.Get();
    form.show();
    home_.hide();
    form.ShowNaturalPeriod(NumberText(run_->inputs.naturalPeriod));
    timer_->start();
}

void PlaybackController::Tick() {
    if (!playing_ || !run_) return;

    const ExcitationCase c = run_->excitation();
    const TickResult result = ticker_.Tick(run_->response, run_->inputs);
    switch (result.outcome) {
        case TickResult::Outcome::Shown:
            frmPicture_.Get().ShowPoint(result.frame, ticker_, InputCaptionsFor(c));
            break;
        case TickResult::Outcome::ShownLast:
            frmPicture_.Get().ShowPoint(result.frame, ticker_, InputCaptionsFor(c));
            [[fallthrough]];
        case TickResult::Outcome::NothingToShow:
            Finish(tr("終了しました。"), kOkInformation, tr("解析終了"));
            break;
        case TickResult::Outcome::Faulted:
            Finish(FaultMessage(result.fault), kOkExclamation, tr("動画表示エラー"));
            break;
    }
}

void PlaybackController::AskForcedStop() {
    const int asked = playbackNumber_;
    ++questionsOpen_;
    const int answer = messages_.ShowMessage(tr("終了します。"), kYesNoInformation, tr("強制終了"));
    --questionsOpen_;
    if (questionsOpen_ == 0 && discardWaiting_) {
        discardWaiting_ = false;
        frmPicture_.Unload();
    }
    // The playback this question was about has ended meanwhile: nothing is left to stop.
    if (!playing_ || playbackNumber_ != asked) return;
    if (answer == kAnswerYes) {
        StopAndReturn();
    } else {
        messages_.Beep();
    }
}

void PlaybackController::StopAtFrameClose() {
    if (playing_) StopAndReturn();
}

void PlaybackController::StopAndReturn() {
    timer_->stop();
    playing_ = false;
    home_.show();
    DiscardWindow();
}

void PlaybackController::Finish(const QString& prompt, int style, const QString& title) {
    timer_->stop();
    playing_ = false;
    messages_.ShowMessage(prompt, style, title);
    DiscardWindow();
    home_.show();
}

void PlaybackController::DiscardWindow() {
    if (questionsOpen_ > 0) {
        // The question box may belong to the window: it must outlive the question.
        if (PictureWindow* form = frmPicture_.IfLoaded()) form->hide();
        discardWaiting_ = true;
        return;
    }
    frmPicture_.Unload();
}

}  // namespace kestrel
