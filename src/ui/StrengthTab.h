// "所要耐力スペクトル": how strong the building must be to yield no further than a ductility μ
// under the studied run's record. The boxes of the oscillators (damping, the list of μ, the
// second stiffness ratio, the periods), "計算" that computes on a thread of its own with a
// progress bar and "中止", and three charts: the required yield coefficient Cy, the strength
// reduction R beside the three rules, and the energy input spectrum V_E, each against the
// period, the building marked at its undamped period T_n.
//
// The computation takes seconds, so the tab computes on its button only, never on the window's
// "再計算". The results stay while the boxes and the studied run stay as they were; a change
// of either (an edited box, "再計算" onto another run) cancels a computation under way and
// clears the charts, so that what is shown and exported always belongs to the boxes shown.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "ui/StudyTabs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kestrel {

class StudyChartView;

class StrengthTab : public StudyTab {
    Q_OBJECT

public:
    StrengthTab();
    // Stops a computation under way and waits for its threads.
    ~StrengthTab() override;

    // Takes the run to study; computes nothing. "再計算" lands here: a computation under way
    // is stopped, and the results are cleared when the run is another than theirs.
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    // WriteStrengthCsv's bytes for the results shown.
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("所要耐力スペクトル"); }

    // "計算": reads the boxes (a box that cannot be read is told, naming it, and nothing is
    // computed) and starts the computation.
    void cmdCompute_Click();
    // "中止": stops the computation; its results are not kept.
    void cmdStop_Click();
    bool IsComputing() const;
    // Draws the results with the axes chosen.
    void Redraw();

    // The building's own yield point, from the run of the tab "弾塑性応答": its yield
    // coefficient Cy and the ductility μ its run reached. Asked at each drawing; no value (or
    // no function) draws the building's period alone. Whoever sets it calls Redraw when the
    // point changes.
    struct BuildingYield {
        double cy = 0;
        double ductility = 1;
    };
    std::function<std::optional<BuildingYield>()> buildingYield;

    QLabel* lblNoRecord = nullptr;  // at the top: the run has no record to study
    QLineEdit* txtDamping = nullptr;
    QLineEdit* txtDuctilities = nullptr;
    QLineEdit* txtSecondStiffness = nullptr;
    QLineEdit* txtPeriodMin = nullptr;
    QLineEdit* txtPeriodMax = nullptr;
    QLineEdit* txtPeriodCount = nullptr;
    QPushButton* cmdCompute = nullptr;
    QProgressBar* progress = nullptr;  // shown while computing, beside "中止"
    QPushButton* cmdStop = nullptr;
    QLabel* lblStatus = nullptr;  // what the charts show, or why they are empty
    QCheckBox* chkLogPeriod = nullptr;
    StudyChartView* cyChart = nullptr;
    StudyChartView* rChart = nullptr;
    StudyChartView* veChart = nullptr;
    // Under the charts: the building's period and yield point, and what the rules' lines are.
    QLabel* lblNote = nullptr;

    struct Result;
    struct Job;

signals:
    // A computation has ended: with results, refused, or stopped.
    void computationEnded();

private:
    void ShowReadout(double period) override;
    // A box or the run changed: stops a computation and clears the results.
    void InputsChanged();
    // Stops the computation under way, if any, and waits for its thread; nothing is kept.
    void StopJob();
    void Poll();
    void ShowComputing(bool on);

    std::unique_ptr<Result> result_;
    std::unique_ptr<Job> job_;
    std::optional<StudyInputs> inputs_;
    MessageService* messages_ = nullptr;
    QTimer* poll_ = nullptr;
    QWidget* charts_ = nullptr;
    int pointerChart_ = 0;  // the chart the readout is about
    bool dampingSet_ = false;
};

}  // namespace kestrel
