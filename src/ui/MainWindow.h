// frmAnalysis: the main window. It holds every input of the analysis, the natural-period
// display, the excitation choice and the commands, and keeps the last completed run.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

#include "analysis/Analyze.h"
#include "analysis/GroundMotion.h"
#include "analysis/RunInputs.h"
#include "analysis/WaveRecord.h"
#include "files/WaveFile.h"
#include "runtime/MessageService.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace kestrel {

// The playback's part of the main window (the playback window, its tables); defined with
// the playback commands in MainWindowPlayback.cpp.
struct PlaybackParts;
struct PlaybackPartsDeleter {
    void operator()(PlaybackParts* parts) const;
};

// The choosers' part of the main window (the wave and save chooser windows); defined with
// the file commands in MainWindowFiles.cpp.
struct FileParts;
struct FilePartsDeleter {
    void operator()(FileParts* parts) const;
};

// Where an earthquake run's record came from: the wave file as it was opened (its real
// bytes) and the component read from it (JMA CSV records only).
struct WaveSource {
    std::string path;
    std::optional<RecordComponent> component;
};

// A run that completed: what it read, the ground motion it stepped through, its response
// and, for an earthquake run, its record's file. Only such a run is played back, saved or
// studied.
struct CompletedRun {
    RunInputs inputs;
    GroundMotion motion;
    Response response;
    int playbackIntervalMs = 0;  // step time x 500 ms, halves to even
    WaveSource wave;             // empty for the other cases

    ExcitationCase excitation() const { return inputs.excitation; }
};

class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(MessageService& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    MessageService& Messages() { return messages_; }

    // The excitation case of the option button that is on.
    ExcitationCase SelectedCase() const;
    // The texts of every box a run reads, as they stand now.
    RunTexts CurrentTexts() const;
    // The last completed run; none before the first run completes and from the start of
    // every run until it completes (a failed run leaves no results).
    const std::optional<CompletedRun>& HeldRun() const { return heldRun_; }
    // The natural period the label shows: that of the last "固有周期の表示" or run (0 before
    // either). The save writes it.
    double ShownNaturalPeriod() const { return shownNaturalPeriod_; }

    // Commands.
    void cmdCycle_Click();
    void cmdStart_Click();
    void cmdExit_Click();

    // Playback (MainWindowPlayback.cpp): the end of a completed run, and one timer tick.
    void HandOverToPlayback(const CompletedRun& run);
    void Timer1_Timer();
    // The point the playback shows next: the points shown so far in this playback.
    int PlayedPoints() const;

    // Files (MainWindowFiles.cpp).
    void cmdWave_Click();
    void cmdSelect_Click();
    void cmdSave_Click();
    // "選択する(&Y)" of the wave chooser: reads the chosen file and sets the time step and
    // the analysis time from it.
    void ApplyWaveFile();
    // Reads the chosen wave file for an earthquake run; no value ends the run (the user
    // has been told why). `source`, when given, is told which file and component were read.
    std::optional<WaveRecord> LoadWaveRecord(WaveSource* source = nullptr);

    // Study (MainWindowStudy.cpp): "結果の検討(&R)" opens the study window, or brings the
    // open one to the front and computes it again; Study() is the open one, if any.
    void cmdStudy_Click();
    QWidget* Study() const { return study_; }

    // Controls, named as the program has always named them.
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblK = nullptr;
    QLabel* lblM = nullptr;
    QLabel* lblH = nullptr;
    QLabel* lblTs = nullptr;
    QLabel* lblTl = nullptr;
    QLineEdit* txtK = nullptr;
    QLineEdit* txtW = nullptr;
    QLineEdit* txtH = nullptr;
    QLineEdit* txtTs = nullptr;
    QLineEdit* txtTl = nullptr;
    QRadioButton* optDis = nullptr;
    QRadioButton* optVel = nullptr;
    QRadioButton* optOrgCycle = nullptr;
    QRadioButton* optSelect = nullptr;
    QRadioButton* optOrgCycleDis = nullptr;
    QLineEdit* txtFirstDis = nullptr;
    QLineEdit* txtFirstVel = nullptr;
    QLineEdit* txtOrgCycle = nullptr;
    QLabel* lblSinMax = nullptr;
    QLineEdit* txtCacMax = nullptr;
    QLineEdit* txtOrgCycleDis = nullptr;
    QLabel* lblDisMax = nullptr;
    QLineEdit* txtDisMax = nullptr;
    QPushButton* cmdWave = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblOrgCycle = nullptr;
    QCheckBox* chkPicture = nullptr;
    QPushButton* cmdCycle = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdStudy = nullptr;
    QTimer* Timer1 = nullptr;

    PlaybackParts& Playback();
    FileParts& Files();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildStudyCommand();
    void ReportFault(const Fault& fault, bool naturalPeriodOnly);
    void ShowNaturalPeriod(double period);

    MessageService& messages_;
    std::unique_ptr<PlaybackParts, PlaybackPartsDeleter> playback_;
    std::unique_ptr<FileParts, FilePartsDeleter> files_;
    std::optional<CompletedRun> heldRun_;
    double shownNaturalPeriod_ = 0;
    QPointer<QWidget> study_;
};

// Creates the playback and file parts; defined beside their deleters.
PlaybackParts* CreatePlaybackParts(MainWindow& window);
FileParts* CreateFileParts(MainWindow& window);

}  // namespace kestrel
