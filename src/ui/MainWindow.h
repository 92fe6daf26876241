// frmAnalysis: the main window. Its form holds every input of the analysis, the
// natural-period display, the excitation choice and the commands; the window answers the
// commands, keeps the last run, and hands a completed run to the playback and the save and
// any run that stepped to the study window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "runtime/Fault.h"
#include "runtime/MessageService.h"
#include "ui/SteppedRun.h"

namespace kestrel {

class FileChoosers;
class PlaybackController;
class RunForm;
class StudyWindow;

class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(MessageService& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    MessageService& Messages() { return messages_; }
    const RunForm& Form() const { return *form_; }
    PlaybackController& Playback() { return *playback_; }

    // The last run of "解析開始" that stepped: complete, or stopped by a fault in its steps
    // (its points before the fault). None before the first run, from the start of every run
    // until it has stepped, and after a run that stopped before it stepped.
    std::shared_ptr<const SteppedRun> LastRun() const { return lastRun_; }
    // The last run, if it completed: only such a run is played back or saved.
    std::shared_ptr<const SteppedRun> HeldRun() const;
    // The natural period the label shows: that of the last "固有周期の表示" or run (0 before
    // either). The save writes it.
    double ShownNaturalPeriod() const { return shownNaturalPeriod_; }
    // The open study window, if any.
    StudyWindow* Study() const;

signals:
    // LastRun() has changed: a run started (there is none meanwhile) or ended.
    void lastRunChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowNaturalPeriodCommand();  // "固有周期の表示"
    void StartRun();                  // "解析開始(&A)"
    void SaveResults();               // "保存(&S)"
    void AskExit();                   // "終了(&X)"
    void OpenStudy();                 // "結果の検討(&R)"
    void ReportFault(const Fault& fault, bool naturalPeriodOnly);
    void ShowNaturalPeriod(double period);
    void SetLastRun(std::shared_ptr<const SteppedRun> run);

    MessageService& messages_;
    RunForm* form_ = nullptr;
    PlaybackController* playback_ = nullptr;
    FileChoosers* choosers_ = nullptr;
    std::shared_ptr<const SteppedRun> lastRun_;
    double shownNaturalPeriod_ = 0;
    QPointer<StudyWindow> study_;
};

}  // namespace kestrel
