// The playback of a completed run: Timer1 ticks it point by point into the playback window
// (frmPicture), which takes the main window's place on the screen until the playback ends,
// is stopped or faults.
#pragma once

#include <QObject>
#include <memory>

#include "playback/PlaybackTick.h"
#include "runtime/MessageService.h"
#include "ui/FormSlot.h"
#include "ui/SteppedRun.h"

class QTimer;
class QWidget;

namespace kestrel {

class PictureWindow;

class PlaybackController : public QObject {
    Q_OBJECT

public:
    // `home` is the main window: the playback window's parent, hidden while it plays.
    PlaybackController(QWidget& home, MessageService& messages);
    ~PlaybackController() override;

    // Plays a completed run in a new playback window from its point 0, the timer ticking
    // every half step (at least every millisecond). The run is kept, whatever the main
    // window does meanwhile, until the next playback.
    void Play(std::shared_ptr<const SteppedRun> run);
    // One tick of Timer1: the next point, or the end of the playback.
    void Tick();
    // The point the playback shows next: the points shown so far in this playback.
    int PlayedPoints() const { return ticker_.NextPoint(); }

private:
    // "強制終了(&X)": asks first; Yes stops the playback, No lets it go on.
    void AskForcedStop();
    // The close box of the playback window: a forced stop without the question.
    void StopAtFrameClose();
    // The end of the playback (last point, nothing to show, or a fault): the timer stops
    // first, so that no tick runs behind the message, then the message is shown over the
    // final picture, then the playback window goes and the main window comes back.
    void Finish(const QString& prompt, int style, const QString& title);
    void StopAndReturn();
    void DiscardWindow();

    QWidget& home_;
    MessageService& messages_;
    QTimer* timer_ = nullptr;  // Timer1
    FormSlot<PictureWindow> frmPicture_;
    std::shared_ptr<const SteppedRun> run_;  // the run being played
    PlaybackTicker ticker_;

    bool playing_ = false;    // from the start until the playback stops or ends
    int playbackNumber_ = 0;  // counts playbacks, so that a late answer knows its own
    // The forced-stop question keeps the event loop and with it the timer running, so the
    // playback may end while the question is still open. The window is then only hidden:
    // it goes once the question is answered.
    int questionsOpen_ = 0;
    bool discardWaiting_ = false;
};

}  // namespace kestrel
