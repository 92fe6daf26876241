// The main window's form: the building and time boxes, the excitation options with their
// boxes, the natural-period label, the playback check box and the command buttons, placed on
// the window where the program has always placed them, under the names it has always given
// them (txtK, optDis, cmdStart, ...). The window reads the boxes only as the texts a run
// reads and answers the commands' signals.
#pragma once

#include <QObject>
#include <QString>

#include "analysis/RunInputs.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kestrel {

class RunForm : public QObject {
    Q_OBJECT

public:
    // Builds the controls on the window, sets their keyboard order and gives txtK the focus.
    explicit RunForm(QWidget& window);

    // The texts of every box a run reads, as they stand now.
    RunTexts Texts() const;
    // The excitation case of the option button that is on.
    ExcitationCase SelectedCase() const;
    // "動画表示": a completed run is played back.
    bool PlaybackWanted() const;

    // The natural period in its label, as the program writes numbers.
    void ShowNaturalPeriod(const QString& text);
    // A confirmed record's time step and duration into the time-step and analysis-time boxes.
    void SetRecordTimes(const QString& timeStep, const QString& analysisTime);
    // Back to the first box, as after a save.
    void FocusFirstBox();

signals:
    void naturalPeriodAsked();  // "固有周期の表示"
    void startAsked();          // "解析開始(&A)"
    void waveChooserAsked();    // "地震波選択"
    void saveChooserAsked();    // "保存先選択(&C)"
    void saveAsked();           // "保存(&S)"
    void exitAsked();           // "終了(&X)"
    void studyAsked();          // "結果の検討(&R)"

private:
    void Build(QWidget& window);
    void BuildStudyCommand(QWidget& window);

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
};

}  // namespace kestrel
