// "地震動の指標": how strong the shaking of the studied run's record was. Its three components
// are gathered as ReadComponentSet gathers them from the record's file, the run's own
// component taken from the run (or all three named by hand), and the tab shows the
// JMA instrumental seismic intensity, the peaks, SI, Arias intensity, D5-95 and CAV per
// component and for the record as a whole, with the steps that make them drawn: the
// components, the JMA-filtered vector acceleration with its level a and the samples at or
// above it, the normalised Husid curves, the velocities and displacements, and the Sv
// curves whose mean is SI.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "ui/StudyTabs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;

namespace kestrel {

class StudyChartView;

class IndicesTab : public StudyTab {
    Q_OBJECT

public:
    IndicesTab();
    ~IndicesTab() override;
    void Compute(const StudyInputs& inputs, MessageService& messages) override;
    bool HasResult() const override;
    // The table of kestrel-batch indices for this record, the same bytes.
    QByteArray CsvBytes(QString& why) const override;
    QWidget* Charts() override;
    QString ExportName() const override { return tr("地震動の指標"); }

    // The dialog that picks a component's file; tests put their own answer here. An empty
    // name cancels.
    std::function<QString(QWidget* parent, const QString& caption, const QString& start)>
        askOpenFileName;

    QLabel* lblNoRecord = nullptr;  // at the top: the run has no record to study
    QLineEdit* txtLowCut = nullptr;
    // Off: the components are found from the record (a JMA CSV file's columns, a K-NET or
    // KiK-net file's siblings) and the boxes show the files used. On: the files in the
    // boxes, NS, EW and UD, are used.
    QCheckBox* chkFiles = nullptr;
    std::array<QLineEdit*, 3> txtFiles{};
    std::array<QToolButton*, 3> cmdFiles{};
    // Why values are "—": the components that could not be had, naming their files.
    QPlainTextEdit* txtNotice = nullptr;
    // The quantities (columns) of each component and of the record as a whole (rows).
    QTableWidget* table = nullptr;
    StudyChartView* acceleration = nullptr;
    StudyChartView* filtered = nullptr;  // the intensity's vector with the level a
    StudyChartView* husid = nullptr;
    StudyChartView* velocity = nullptr;
    StudyChartView* displacement = nullptr;
    StudyChartView* spectrum = nullptr;  // Sv (h = 20 %) over the SI periods

    struct Result;

private:
    void ShowReadout(double x) override;
    void FillTable();
    void Draw();
    void Browse(int slot);

    std::unique_ptr<Result> result_;
    QWidget* charts_ = nullptr;
    int pointerChart_ = 0;  // the chart the readout is about
    // The file bytes behind the boxes' texts as the tab last filled them.
    std::array<std::pair<QString, std::string>, 3> shownFiles_;
};

}  // namespace kestrel
