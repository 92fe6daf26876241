// The tabs of the study window (the ground-motion indices' in IndicesTab.h). Each computes
// from the run the window studies, draws its charts, and gives its numbers and its charts for
// the exports. The record tabs (the spectra and the indices) need an earthquake run's record
// and say so inside the tab when the run has none.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/GroundMotion.h"
#include "runtime/MessageService.h"
#include "study/StudyInputs.h"
#include "ui/SteppedRun.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QTableWidget;

namespace kestrel {

class StudyChartView;

// What one computation of the window starts from: the run it studies.
struct StudyInputs {
    // The main window's last run that stepped, with the texts it read; never null.
    std::shared_ptr<const SteppedRun> run;
    // An earthquake run's record, whole (not only the part the run's analysis time covered);
    // null for the other cases, which the record tabs cannot study.
    const RecordedMotion* record = nullptr;
    // The building's natural period as the main window shows it, the damped period T_d.
    double naturalPeriod = 0;
    // The undamped period T_n = 2π√(M/K) = T_d √(1−h²): the period of the spectra's
    // oscillators, where the building is marked; no value when it is not a positive number.
    std::optional<double> undampedPeriod;
    double dampingRatio = 0;  // h of the run, as a ratio
    // The record's file name and component as a caption shows them: "record.csv (NS)".
    QString recordName;
    // An earthquake run's record file as it was opened (its bytes), where the indices tab
    // finds the record's other components; empty for the other cases.
    std::string recordPath;
};

// The study of a run: its period, damping and record set out for the tabs.
StudyInputs StudyInputsOf(std::shared_ptr<const SteppedRun> run);

// The parts of an exported figure's caption the tabs share: the record with its time step
// ("地震波 record.csv (NS), Δt = 0.01 s"), the run's excitation (its case and inputs, or the
// record) and the building ("建物 K = 300 kN/cm, M = 100000 kg, h = 2 %"), the numbers as
// the run read its boxes.
QString RecordCaption(const StudyInputs& inputs);
QString ExcitationCaption(const StudyInputs& inputs);
QString BuildingCaption(const StudyInputs& inputs);
// The caption of the parts, in their order, the empty ones left out.
QString JoinCaption(const QStringList& parts);
// What a record tab says, inside the tab, about a run without a record.
QString NoRecordNotice(const StudyInputs& inputs);

// The bytes a CSV writer puts out (a tab's CsvBytes); empty with the writer's reason in `why`
// when it refuses.
QByteArray CsvBytesOf(const std::function<std::optional<StudyError>(std::ostream&)>& write,
                      QString& why);

class StudyTab : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Computes and draws. A box of the tab that cannot be read is told with a message
    // naming it, and the tab is left empty.
    virtual void Compute(const StudyInputs& inputs, MessageService& messages) = 0;
    virtual bool HasResult() const = 0;
    // The numbers as the CSV export writes them (CP932, CR LF); empty with the reason in
    // `why` when they cannot be written.
    virtual QByteArray CsvBytes(QString& why) const = 0;
    // The part of the tab drawn into the PNG and SVG exports.
    virtual QWidget* Charts() = 0;
    // The file name the exports suggest, without its extension.
    virtual QString ExportName() const = 0;
    // The line under an exported figure: what it was computed from (the record, the
    // building and the tab's own inputs), so that the figure reads on its own.
    virtual QString Caption() const { return caption_; }

    // The values under the mouse pointer, one line under the charts.
    QLabel* lblReadout = nullptr;

protected:
    // Writes the readout for the horizontal position x (in the chart's units).
    virtual void ShowReadout(double x) = 0;
    // The readout follows the pointer over the chart and is blanked when it leaves.
    void FollowPointer(StudyChartView* view);

    QString caption_;  // set by Compute
};

// "応答スペクトル": the spectra of the run's record for a list of dampings, the building
// marked at its undamped natural period with the peaks of the run.
class SpectrumTab : public StudyTab {
    Q_OBJECT

public:
    SpectrumTab();
    ~SpectrumTab() override;
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("応答スペクトル"); }

    // Draws the quantity on top with the axes chosen; the numbers stay.
    void Redraw();

    QLineEdit* txtPeriodMin = nullptr;
    QLineEdit* txtPeriodMax = nullptr;
    QLineEdit* txtPeriodCount = nullptr;
    QLineEdit* txtDampings = nullptr;
    QComboBox* cboQuantity = nullptr;
    QCheckBox* chkLogPeriod = nullptr;
    QCheckBox* chkLogValue = nullptr;
    QLabel* lblNoRecord = nullptr;  // at the top: the run has no record to study
    StudyChartView* chart = nullptr;
    QLabel* lblCompare = nullptr;

    struct Result;

private:
    void ShowReadout(double period) override;
    void ShowComparison();

    std::unique_ptr<Result> result_;
    bool dampingsSet_ = false;
};

// "フーリエスペクトル": the Fourier amplitude of the run's record, optionally smoothed, with
// the building's undamped natural frequency and its transfer function.
class FourierTab : public StudyTab {
    Q_OBJECT

public:
    FourierTab();
    ~FourierTab() override;
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("フーリエスペクトル"); }

    QLineEdit* txtSmoothing = nullptr;
    QLabel* lblSmoothing = nullptr;  // under the box: a width too narrow to smooth anything
    QLabel* lblNoRecord = nullptr;   // at the top: the run has no record to study
    StudyChartView* chart = nullptr;
    QLabel* lblNote = nullptr;

    struct Result;

private:
    void Redraw();
    void ShowReadout(double frequency) override;

    std::unique_ptr<Result> result_;
};

// "解法の精度": the run beside the exact solution and the average acceleration method on the
// same inputs, their errors, the properties of both methods and the stability limit. Any
// excitation case; a run stopped by an overflow is drawn up to where it stopped.
class AccuracyTab : public StudyTab {
    Q_OBJECT

public:
    AccuracyTab();
    ~AccuracyTab() override;
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("解法の精度"); }
    // The inputs, and the time range shown.
    QString Caption() const override;

    // Shows the time range [from, to] on both time charts; the whole run when from >= to.
    void ShowTimeRange(double from, double to);

    QLabel* lblStability = nullptr;  // the red line past the stability limit
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QPushButton* cmdRange = nullptr;
    QPushButton* cmdWhole = nullptr;
    StudyChartView* response = nullptr;
    StudyChartView* errors = nullptr;
    StudyChartView* elongation = nullptr;
    QTableWidget* table = nullptr;

    struct Result;

private:
    void DrawTimeCharts();
    void FillTable();
    void DrawElongation();
    void ShowReadout(double time) override;
    void ApplyRangeBoxes();

    std::unique_ptr<Result> result_;
    QWidget* charts_ = nullptr;
    double from_ = 0, to_ = 0;
    bool syncing_ = false;
};

}  // namespace kestrel
