#include "ui/MainWindow.h"

#include <QCloseEvent>

#include "analysis/RunFromTexts.h"
#include "files/ResultFiles.h"
#include "runtime/Conversions.h"
#include "ui/FaultMessages.h"
#include "ui/FileChoosers.h"
#include "ui/FormLayout.h"
#include "ui/PlaybackController.h"
#include "ui/RunForm.h"
#include "ui/StudyWindow.h"

namespace kestrel {

MainWindow::MainWindow(MessageService& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
    setObjectName(QStringLiteral("frmAnalysis"));
    SetUpFixedDialog(this, tr("Kestrel(線形加速度法)"), 8250, 3900);
    form_ = new RunForm(*this);
    playback_ = new PlaybackController(*this, messages_);
    choosers_ = new FileChoosers(*this, messages_);

    connect(form_, &RunForm::naturalPeriodAsked, this, &MainWindow::ShowNaturalPeriodCommand);
    connect(form_, &RunForm::startAsked, this, &MainWindow::StartRun);
    connect(form_, &RunForm::waveChooserAsked, choosers_, &FileChoosers::ShowWaveChooser);
    connect(form_, &RunForm::saveChooserAsked, choosers_, &FileChoosers::ShowSaveChooser);
    connect(form_, &RunForm::saveAsked, this, &MainWindow::SaveResults);
    connect(form_, &RunForm::exitAsked, this, &MainWindow::AskExit);
    connect(form_, &RunForm::studyAsked, this, &MainWindow::OpenStudy);
    connect(choosers_, &FileChoosers::recordConfirmed, form_, &RunForm::SetRecordTimes);
}

MainWindow::~MainWindow() = default;

std::shared_ptr<const SteppedRun> MainWindow::HeldRun() const {
    return lastRun_ && lastRun_->complete() ? lastRun_ : nullptr;
}

StudyWindow* MainWindow::Study() const {
    return study_.data();
}

void MainWindow::SetLastRun(std::shared_ptr<const SteppedRun> run) {
    lastRun_ = std::move(run);
    emit lastRunChanged();
}

void MainWindow::ShowNaturalPeriod(double period) {
    shownNaturalPeriod_ = period;
    form_->ShowNaturalPeriod(QString::fromStdString(NumberText(period)));
}

void MainWindow::ShowNaturalPeriodCommand() {
    const FaultOr<double> period = ReadNaturalPeriod(form_->Texts().model);
    if (!period) {
        ReportFault(period.fault(), true);
        return;
    }
    ShowNaturalPeriod(*period);
}

void MainWindow::StartRun() {
    // From here on the last run's results are gone.
    SetLastRun(nullptr);
    const RunTexts texts = form_->Texts();
    WaveSource wave;
    RunHooks hooks;
    hooks.showNaturalPeriod = [this](double period) { ShowNaturalPeriod(period); };
    hooks.loadWaveRecord = [this, &wave] { return choosers_->LoadWaveRecord(&wave); };
    RunOutcome run = RunFromTexts(texts, form_->SelectedCase(), hooks);
    if (Stepped(run)) {
        // Complete, or stopped part way through its steps: the study window can show it.
        SetLastRun(std::make_shared<const SteppedRun>(
            SteppedRun{texts, std::move(*run.inputs), std::move(*run.motion),
                       std::move(*run.response), run.playbackIntervalMs, std::move(wave)}));
    }
    switch (run.status) {
        case RunOutcome::Status::Completed:
            if (form_->PlaybackWanted()) {
                playback_->Play(lastRun_);
            } else {
                messages_.ShowMessage(tr("終了しました。"), kOkInformation, tr("解析終了"));
            }
            break;
        case RunOutcome::Status::Faulted:
            ReportFault(run.fault.value_or(Fault{}), false);
            break;
        case RunOutcome::Status::EndedEarly:
            break;
    }
}

void MainWindow::ReportFault(const Fault& fault, bool naturalPeriodOnly) {
    messages_.ShowMessage(FaultMessage(fault), kOkExclamation,
                          naturalPeriodOnly ? tr("固有周期の計算エラー") : tr("解析エラー"));
}

void MainWindow::SaveResults() {
    // Only the results of a run that completed are saved: a failed run leaves none, and
    // before the first run there are none.
    const std::shared_ptr<const SteppedRun> run = HeldRun();
    if (!run) {
        messages_.ShowMessage(tr("保存できる解析結果がありません。\n"
                                 "「解析開始」で解析を終えてから保存して下さい。"),
                              kOkExclamation, tr("データの保存"));
        return;
    }
    const FileChoosers::SaveDestination destination = choosers_->Destination();
    if (destination.baseName.isEmpty()) {
        messages_.ShowMessage(tr("保存先が選択されていません"), kOkInformation, tr("データの保存"));
        return;
    }
    // The model boxes and the displacement wave's option and period as they stand now, the
    // natural period as the label shows it.
    const RunTexts texts = form_->Texts();
    const ParameterValues values = ParameterValuesFromTexts(texts.model, ShownNaturalPeriod());
    std::optional<double> displacementPeriod;
    if (form_->SelectedCase() == ExcitationCase::SteadyDisplacement) {
        displacementPeriod = LeadingNumber(texts.displacementPeriod);
    }
    const SaveOutcome outcome =
        kestrel::SaveResults(destination.folder, destination.baseName.toStdString(), values,
                             run->response, displacementPeriod);
    if (!outcome.ok()) {
        // The destination is kept so that the user can put things right and save again.
        if (outcome.error->fileInUse()) {
            messages_.ShowMessage(
                tr("このファイルは別のソフトで開いています。ファイルを閉じてください。"),
                kOkExclamation, tr("ファイルの起動状態"));
        } else {
            const FileMessage m = SaveErrorMessage(outcome);
            messages_.ShowMessage(QString::fromStdString(m.prompt), kOkExclamation,
                                  QString::fromStdString(m.title));
        }
        return;
    }
    choosers_->UseUpDestination();
    messages_.ShowMessage(tr("保存終了しました。"), kOkInformation, tr("データの保存"));
    form_->FocusFirstBox();
}

void MainWindow::AskExit() {
    if (messages_.ShowMessage(tr("終了しますか？"), kYesNoQuestion, tr("プログラムの終了")) ==
        kAnswerYes) {
        messages_.EndProgram();
    } else {
        messages_.Beep();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box asks the same question as "終了(&X)"; the program ends only on Yes.
    event->ignore();
    AskExit();
}

void MainWindow::OpenStudy() {
    if (StudyWindow* open = study_.data()) {
        open->Recompute();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new StudyWindow(*this);
    // Without a run there is nothing to study: the user has been told so.
    if (!window->Recompute()) {
        delete window;
        return;
    }
    study_ = window;
    window->show();
}

}  // namespace kestrel
