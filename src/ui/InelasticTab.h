// "弾塑性応答": the studied run's building with columns that yield (bilinear, degrading
// bilinear or origin-oriented), stepped on the run's own excitation and time step; the
// displacement beside the elastic run's, the hysteresis loop over its skeleton, the energies,
// a table of both runs, and a playback in step: the point moving on the loop, the curves
// growing and the building swaying with its column base marked while it yields.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "analysis/Hysteresis.h"
#include "playback/PlaybackPace.h"
#include "ui/StudyTabs.h"

class QComboBox;
class QHideEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableWidget;
class QTimer;

namespace kestrel {

class StudyChartView;

// The tab's last computed run as another tab marks it (a point of a strength spectrum).
struct InelasticMarker {
    double undampedPeriod = 0;  // T_n = 2π√(M/K) of the building, s
    SpringModel model = SpringModel::Bilinear;
    double yieldCoefficient = 0;      // Cy
    double secondStiffnessRatio = 0;  // p
    double ductility = 0;             // μ the run reached
};

// The building of the main playback (its column, mass and ground, in twips), swaying to the
// displacement it is given, with its column base marked in red while the column yields.
class SwayingBuilding : public QWidget {
    Q_OBJECT

public:
    SwayingBuilding();
    // The top of the column at columnTopX twips; `yielding` marks the base.
    void Show(double columnTopX, bool yielding);
    double ColumnTopX() const { return columnTopX_; }
    bool Yielding() const { return yielding_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double columnTopX_ = 0;
    bool yielding_ = false;
};

class InelasticTab : public StudyTab {
    Q_OBJECT

public:
    InelasticTab();
    ~InelasticTab() override;
    // Reads the boxes and runs the building of the studied run with yielding columns; a box
    // that cannot be read is told naming it, and nothing is computed. Any excitation case.
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    // WriteInelasticCsv's bytes; a run that stopped is refused with its stop message.
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("弾塑性応答"); }
    // The inputs, and the time shown when the playback stands before the end.
    QString Caption() const override;

    // The last run computed, for another tab's marker; none before one is computed, after a
    // refusal, and for a run that stopped.
    std::optional<InelasticMarker> LastRun() const;

    // The playback: from the point shown (from point 0 when the last is shown), at the main
    // playback's pace, until the last point or Stop.
    void Play();
    void Stop();
    bool Playing() const;
    // Shows the run up to the point (clamped to the points computed): the curves up to it,
    // the point on the loop, the building, the time and the slider.
    void ShowPoint(int point);
    int ShownPoint() const { return shown_; }
    // The last point that can be shown (the CSV's last row, or the last point of a run that
    // stopped); -1 without a result or a point.
    int LastPoint() const;

    QComboBox* cboModel = nullptr;  // 復元力特性
    QLineEdit* txtYield = nullptr;  // 降伏せん断力係数 Cy
    QLineEdit* txtRatio = nullptr;  // 第2剛性比 p
    QPushButton* cmdCompute = nullptr;
    QLabel* lblYield = nullptr;  // Qy and δy of the run
    QLabel* lblStop = nullptr;   // a run that stopped: when and why
    StudyChartView* displacement = nullptr;
    StudyChartView* loop = nullptr;
    StudyChartView* energy = nullptr;
    QTableWidget* table = nullptr;
    SwayingBuilding* building = nullptr;
    QPushButton* cmdPlay = nullptr;
    QSlider* sldTime = nullptr;
    QLabel* lblTime = nullptr;

    struct Result;

signals:
    // A run was computed, or the last one was discarded: LastRun has changed.
    void lastRunChanged();

protected:
    // The playback stops when the tab is hidden (another tab, the window closed).
    void hideEvent(QHideEvent* event) override;

private:
    void ComputeFromBoxes();
    void Draw();
    void FillTable();
    void Tick();
    void ShowReadout(double time) override;

    std::unique_ptr<Result> result_;
    std::optional<StudyInputs> inputs_;  // the run studied, kept for "計算"
    MessageService* messages_ = nullptr;
    QWidget* charts_ = nullptr;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    PlaybackPace pace_{1};
    int startPoint_ = 0;  // where the clock started
    int shown_ = 0;
    bool settingSlider_ = false;
};

}  // namespace kestrel
