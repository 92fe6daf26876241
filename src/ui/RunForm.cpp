#include "ui/RunForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <iterator>
#include <utility>

#include "ui/FormLayout.h"

namespace kestrel {

namespace {

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

// A right-aligned label whose caption is wider than its place grows to the left, so that
// its text stays whole and still ends flush against the box beside it.
void FitRightAlignedLabel(QLabel* label) {
    const int needed = label->sizeHint().width();
    const QRect r = label->geometry();
    if (needed <= r.width()) return;
    const int left = std::max(0, r.right() + 1 - needed);
    label->setGeometry(left, r.top(), r.right() + 1 - left, r.height());
}

}  // namespace

RunForm::RunForm(QWidget& window) : QObject(&window) {
    setObjectName(QStringLiteral("runForm"));
    Build(window);
    BuildStudyCommand(window);

    const std::pair<QPushButton*, void (RunForm::*)()> commands[] = {
        {cmdCycle, &RunForm::naturalPeriodAsked}, {cmdStart, &RunForm::startAsked},
        {cmdWave, &RunForm::waveChooserAsked},    {cmdSelect, &RunForm::saveChooserAsked},
        {cmdSave, &RunForm::saveAsked},           {cmdExit, &RunForm::exitAsked},
        {cmdStudy, &RunForm::studyAsked},
    };
    for (const auto& [button, signal] : commands) {
        connect(button, &QPushButton::clicked, this, signal);
    }
    txtK->setFocus();
}

void RunForm::Build(QWidget& window) {
    const Qt::Alignment right = Qt::AlignRight;
    QWidget* const w = &window;

    Frame1 = Place(MakeFrame(w, tr("初期設定")), 120, 120, 3255, 2175);
    lblK = Place(MakeLabel(Frame1, tr("剛性(kN/㎝)："), right), 120, 240, 1215, 255);
    lblM = Place(MakeLabel(Frame1, tr("質量(kg)："), right), 120, 600, 1215, 255);
    lblH = Place(MakeLabel(Frame1, tr("減衰定数(%)："), right), 120, 960, 1215, 255);
    lblTs = Place(MakeLabel(Frame1, tr("分割時間(s)："), right), 120, 1440, 1215, 255);
    lblTl = Place(MakeLabel(Frame1, tr("解析時間(s)："), right), 120, 1800, 1215, 255);
    txtK = Place(MakeBox(Frame1, "300"), 1440, 240, 1695, 270);
    txtW = Place(MakeBox(Frame1, "100000"), 1440, 600, 1695, 270);
    txtH = Place(MakeBox(Frame1, "2"), 1440, 960, 1695, 270);
    txtTs = Place(MakeBox(Frame1, "0.01"), 1440, 1440, 1695, 270);
    txtTl = Place(MakeBox(Frame1, "10"), 1440, 1800, 1695, 270);

    Frame2 = Place(MakeFrame(w, tr("外力選択")), 3480, 120, 4575, 3135);
    optDis = Place(new QRadioButton(tr("初期変位(㎝)"), Frame2), 120, 240, 1935, 255);
    optVel = Place(new QRadioButton(tr("初期速度(㎝/s)"), Frame2), 120, 600, 1935, 255);
    optOrgCycle =
        Place(new QRadioButton(tr("定常波(加速度)固有周期(s)"), Frame2), 120, 1080, 2655, 375);
    optSelect = Place(new QRadioButton(tr("地震波"), Frame2), 120, 2640, 1935, 225);
    optOrgCycleDis =
        Place(new QRadioButton(tr("定常波(変位)固有周期(s)"), Frame2), 120, 1920, 2535, 255);
    txtFirstDis = Place(MakeBox(Frame2, "5"), 2880, 240, 1455, 270);
    txtFirstVel = Place(MakeBox(Frame2, "30"), 2880, 600, 1455, 270);
    txtOrgCycle = Place(MakeBox(Frame2, "1"), 2880, 1080, 1455, 270);
    lblSinMax = Place(MakeLabel(Frame2, tr("定常波最大値(cm/s2)："), right), 240, 1440, 2535, 255);
    txtCacMax = Place(MakeBox(Frame2, "300"), 2880, 1440, 1455, 270);
    txtOrgCycleDis = Place(MakeBox(Frame2, "1"), 2880, 1920, 1455, 270);
    lblDisMax = Place(MakeLabel(Frame2, tr("定常波最大値(cm)："), right), 120, 2280, 2535, 255);
    txtDisMax = Place(MakeBox(Frame2, "1"), 2880, 2280, 1455, 270);
    cmdWave = Place(new QPushButton(tr("地震波選択"), Frame2), 2880, 2640, 1455, 375);
    optOrgCycle->setChecked(true);
    MakeOptionGroupTabStop({optDis, optVel, optOrgCycle, optSelect, optOrgCycleDis});

    Label6 = Place(MakeLabel(w, tr("建物固有周期(s)："), right), 120, 2400, 1455, 255);
    lblOrgCycle = Place(MakeLabel(w, QStringLiteral("0"), right), 1680, 2400, 1695, 255);
    chkPicture = Place(new QCheckBox(tr("動画表示"), w), 240, 2880, 1575, 255);
    chkPicture->setChecked(true);
    cmdCycle = Place(new QPushButton(tr("固有周期の表示"), w), 120, 3360, 1455, 375);
    cmdStart = Place(new QPushButton(tr("解析開始(&A)"), w), 1680, 3360, 1455, 375);
    cmdSelect = Place(new QPushButton(tr("保存先選択(&C)"), w), 3240, 3360, 1455, 375);
    cmdSave = Place(new QPushButton(tr("保存(&S)"), w), 4800, 3360, 1455, 375);
    cmdExit = Place(new QPushButton(tr("終了(&X)"), w), 6360, 3360, 1455, 375);

    for (QLabel* label : {lblK, lblM, lblH, lblTs, lblTl, lblSinMax, lblDisMax, Label6}) {
        FitRightAlignedLabel(label);
    }
    SetLongForm(lblK, lblK->text(), tr("剛性(kN/㎝)：", "long form"));
    SetLongForm(lblH, lblH->text(), tr("減衰定数(%)：", "long form"));
    SetLongForm(lblTl, lblTl->text(), tr("解析時間(s)：", "long form"));
    SetLongForm(optDis, optDis->text(), tr("初期変位(㎝)", "long form"));
    SetLongForm(optVel, optVel->text(), tr("初期速度(㎝/s)", "long form"));
    SetLongForm(optOrgCycle, optOrgCycle->text(), tr("定常波(加速度)固有周期(s)", "long form"));
    SetLongForm(optOrgCycleDis, optOrgCycleDis->text(), tr("定常波(変位)固有周期(s)", "long form"));
    SetLongForm(Label6, Label6->text(), tr("建物固有周期(s)：", "long form"));
    SetLongForm(cmdCycle, cmdCycle->text(), tr("固有周期の表示", "long form"));

    // Object names let tests and tools find each control by the name the program uses.
    const std::pair<QObject*, const char*> names[] = {
        {Frame1, "Frame1"},
        {Frame2, "Frame2"},
        {lblK, "lblK"},
        {lblM, "lblM"},
        {lblH, "lblH"},
        {lblTs, "lblTs"},
        {lblTl, "lblTl"},
        {txtK, "txtK"},
        {txtW, "txtW"},
        {txtH, "txtH"},
        {txtTs, "txtTs"},
        {txtTl, "txtTl"},
        {optDis, "optDis"},
        {optVel, "optVel"},
        {optOrgCycle, "optOrgCycle"},
        {optSelect, "optSelect"},
        {optOrgCycleDis, "optOrgCycleDis"},
        {txtFirstDis, "txtFirstDis"},
        {txtFirstVel, "txtFirstVel"},
        {txtOrgCycle, "txtOrgCycle"},
        {lblSinMax, "lblSinMax"},
        {txtCacMax, "txtCacMax"},
        {txtOrgCycleDis, "txtOrgCycleDis"},
        {lblDisMax, "lblDisMax"},
        {txtDisMax, "txtDisMax"},
        {cmdWave, "cmdWave"},
        {Label6, "Label6"},
        {lblOrgCycle, "lblOrgCycle"},
        {chkPicture, "chkPicture"},
        {cmdCycle, "cmdCycle"},
        {cmdStart, "cmdStart"},
        {cmdSelect, "cmdSelect"},
        {cmdSave, "cmdSave"},
        {cmdExit, "cmdExit"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    // Keyboard focus order; labels and frames take no focus.
    QWidget* const order[] = {
        txtK,      txtW,        txtH,           txtTs,          txtTl,       optDis,
        optVel,    optOrgCycle, optSelect,      txtFirstDis,    txtFirstVel, txtOrgCycle,
        cmdStart,  cmdSelect,   cmdSave,        cmdExit,        cmdWave,     chkPicture,
        txtCacMax, cmdCycle,    optOrgCycleDis, txtOrgCycleDis, txtDisMax,
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void RunForm::BuildStudyCommand(QWidget& window) {
    // Below the natural period, beside the playback check box, above the command row.
    cmdStudy = Place(new QPushButton(tr("結果の検討(&R)"), &window), 1920, 2820, 1455, 375);
    cmdStudy->setObjectName(QStringLiteral("cmdStudy"));
    // Last in the keyboard order, after every written control.
    QWidget::setTabOrder(txtDisMax, cmdStudy);
}

RunTexts RunForm::Texts() const {
    RunTexts t;
    t.model = {Text(txtK), Text(txtW), Text(txtH)};
    t.timeStep = Text(txtTs);
    t.analysisTime = Text(txtTl);
    t.firstDisplacement = Text(txtFirstDis);
    t.firstVelocity = Text(txtFirstVel);
    t.accelerationPeriod = Text(txtOrgCycle);
    t.accelerationMax = Text(txtCacMax);
    t.displacementPeriod = Text(txtOrgCycleDis);
    t.displacementMax = Text(txtDisMax);
    return t;
}

ExcitationCase RunForm::SelectedCase() const {
    if (optDis->isChecked()) return ExcitationCase::InitialDisplacement;
    if (optVel->isChecked()) return ExcitationCase::InitialVelocity;
    if (optOrgCycle->isChecked()) return ExcitationCase::SteadyAcceleration;
    if (optOrgCycleDis->isChecked()) return ExcitationCase::SteadyDisplacement;
    return ExcitationCase::Earthquake;
}

bool RunForm::PlaybackWanted() const {
    return chkPicture->isChecked();
}

void RunForm::ShowNaturalPeriod(const QString& text) {
    lblOrgCycle->setText(text);
}

void RunForm::SetRecordTimes(const QString& timeStep, const QString& analysisTime) {
    txtTs->setText(timeStep);
    txtTl->setText(analysisTime);
}

void RunForm::FocusFirstBox() {
    txtK->setFocus();
}

}  // namespace kestrel
