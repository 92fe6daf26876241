#include "ui/PictureWindow.h"

#include <qdrawutil.h>

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <utility>

#include "playback/PlaybackDrawing.h"
#include "runtime/NumberFit.h"
#include "ui/FormLayout.h"

namespace kestrel {

namespace {

// The width a box has for its text: inside its frame and text margins, less the gap a
// line edit keeps either side of the text.
int TextRoom(const QLineEdit* box) {
    constexpr int kTextGap = 2;
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QRect contents = box->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, box)
                               .marginsRemoved(box->textMargins());
    return contents.width() - 2 * kTextGap;
}

// Shows a number's text from its start, as a box shows a text set by the program. A text
// too wide for the box shows the value rounded to the digits that fit, with its exponent;
// the whole text is then the box's tooltip.
void SetBoxText(QLineEdit* box, const std::string& text) {
    const QFontMetricsF metrics(box->font());
    const int room = TextRoom(box);
    const std::string shown = FitNumberText(text, [&](std::string_view t) {
        const QString q = QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
        return metrics.horizontalAdvance(q) + 1 <= room;  // as the box measures its text
    });
    const QString q = QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size()));
    const QString tip = shown == text
                            ? QString()
                            : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    if (box->toolTip() != tip) box->setToolTip(tip);
    if (box->text() == q) return;
    box->setText(q);
    box->setCursorPosition(0);
}

// The input's captions as the playback gives them (InputCaptionsFor), for the catalogue.
[[maybe_unused]] constexpr const char* kInputCaptions[] = {
    QT_TRANSLATE_NOOP("kestrel::PictureWindow", "入力加速度"),
    QT_TRANSLATE_NOOP("kestrel::PictureWindow", "入力加速度(cm/s2)"),
    QT_TRANSLATE_NOOP("kestrel::PictureWindow", "入力変位"),
    QT_TRANSLATE_NOOP("kestrel::PictureWindow", "入力変位(cm)"),
};

// Shows one of the input's captions in the window's language.
void SetCaption(QLabel* label, const char* caption) {
    const QString q = PictureWindow::tr(caption);
    if (label->text() != q) label->setText(q);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// PictureBox

PictureBox::PictureBox(QWidget* parent, const QRect& geometryPx) : QWidget(parent) {
    setGeometry(geometryPx);
    // A picture box is a tab stop, as every box of the window is.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_ = MakeSurface(Area().size(), devicePixelRatioF(), BackColor());
}

QColor PictureBox::BackColor() const {
    return palette().color(QPalette::Window);
}

QColor PictureBox::ForeColor() const {
    return palette().color(QPalette::WindowText);
}

QRect PictureBox::Area() const {
    return QRect(QPoint(0, 0), size() - QSize(2 * kBorder, 2 * kBorder));
}

void PictureBox::SetLineShapes(std::vector<TwipLine> lines) {
    lineShapes_ = std::move(lines);
    update();
}

void PictureBox::Refresh(const QRect& areaPx) {
    update(areaPx.translated(kBorder, kBorder) & rect());
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    qDrawWinPanel(&p, rect(), palette(), true);
    p.translate(kBorder, kBorder);
    p.setClipRect(Area(), Qt::IntersectClip);
    p.drawImage(QPoint(0, 0), surface_);
    if (!lineShapes_.empty()) DrawLineShapes(p, lineShapes_, ForeColor());
}

// ---------------------------------------------------------------------------------------
// PictureWindow

PictureWindow::PictureWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmPicture"));
    // The main window's style: a fixed-size dialog border with a title and a close box.
    SetUpFixedDialog(this, tr("動画、グラフ表示"), 12345, 8790);
    BuildControls();
    connect(cmdExit, &QPushButton::clicked, this, &PictureWindow::cmdExit_Click);
}

void PictureWindow::BuildControls() {
    const Qt::Alignment centre = Qt::AlignHCenter;
    const Qt::Alignment right = Qt::AlignRight;

    pctCac = new PictureBox(this, TwipRect(1320, 120, 7335, 2055));
    pctAcc = new PictureBox(this, TwipRect(1320, 2280, 7335, 2055));
    pctVel = new PictureBox(this, TwipRect(1320, 4440, 7335, 2055));
    pctDis = new PictureBox(this, TwipRect(1320, 6600, 7335, 2055));
    pctFig = new PictureBox(this, TwipRect(8760, 120, 3495, 3495));
    const auto ground = figure::GroundLines();
    pctFig->SetLineShapes({ground.begin(), ground.end()});
    cmdExit = Place(new QPushButton(tr("強制終了(&X)"), this), 8760, 8280, 1215, 375);

    lblCac = Place(MakeLabel(this, tr("入力加速度"), centre), 120, 240, 1095, 255);
    Label1 = Place(MakeLabel(this, tr("ﾌﾟﾗｽ最大値")), 120, 600, 1095, 255);
    txtCacMax = Place(MakeBox(this, "0"), 120, 960, 1095, 270);
    Label2 = Place(MakeLabel(this, tr("ﾏｲﾅｽ最大値")), 120, 1320, 1095, 255);
    txtCacMin = Place(MakeBox(this, "0"), 120, 1680, 1095, 270);
    lblAcc = Place(MakeLabel(this, tr("応答加速度"), centre), 120, 2280, 1095, 255);
    Label3 = Place(MakeLabel(this, tr("ﾌﾟﾗｽ最大値")), 120, 2640, 1095, 255);
    txtAccMax = Place(MakeBox(this, "0"), 120, 3000, 1095, 270);
    Label4 = Place(MakeLabel(this, tr("ﾏｲﾅｽ最大値")), 120, 3360, 1095, 255);
    txtAccMin = Place(MakeBox(this, "0"), 120, 3720, 1095, 270);
    lblVel = Place(MakeLabel(this, tr("応答速度"), centre), 120, 4440, 1095, 255);
    Label5 = Place(MakeLabel(this, tr("ﾌﾟﾗｽ最大値")), 120, 4800, 1095, 255);
    txtVelMax = Place(MakeBox(this, "0"), 120, 5160, 1095, 270);
    Label6 = Place(MakeLabel(this, tr("ﾏｲﾅｽ最大値")), 120, 5640, 1095, 255);
    txtVelMin = Place(MakeBox(this, "0"), 120, 6000, 1095, 270);
    lblDis = Place(MakeLabel(this, tr("応答変位"), centre), 120, 6600, 1095, 255);
    Label7 = Place(MakeLabel(this, tr("ﾌﾟﾗｽ最大値")), 120, 6960, 1095, 255);
    txtDisMax = Place(MakeBox(this, "0"), 120, 7320, 1095, 270);
    Label8 = Place(MakeLabel(this, tr("ﾏｲﾅｽ最大値")), 120, 7680, 1095, 255);
    txtDisMin = Place(MakeBox(this, "0"), 120, 8040, 1095, 270);

    fraValue = Place(MakeFrame(this, tr("現時刻の解析結果の値")), 8760, 3840, 3495, 2175);
    lblTime = Place(MakeLabel(fraValue, tr("時刻(s)："), right), 120, 240, 1455, 255);
    txtTime = Place(MakeBox(fraValue, "0"), 1680, 240, 1695, 270);
    lblCac1 = Place(MakeLabel(fraValue, tr("入力加速度(cm/s2)"), centre), 120, 720, 1575, 255);
    lblAcc1 = Place(MakeLabel(fraValue, tr("応答加速度(cm/s2)"), centre), 1800, 720, 1575, 255);
    txtCac = Place(MakeBox(fraValue, "0"), 120, 960, 1575, 270);
    txtAcc = Place(MakeBox(fraValue, "0"), 1800, 960, 1575, 270);
    lblVel1 = Place(MakeLabel(fraValue, tr("応答速度(cm/s)"), centre), 120, 1440, 1575, 255);
    lblDis1 = Place(MakeLabel(fraValue, tr("応答変位(cm)"), centre), 1800, 1440, 1575, 255);
    txtVel = Place(MakeBox(fraValue, "0"), 120, 1680, 1575, 270);
    txtDis = Place(MakeBox(fraValue, "0"), 1800, 1680, 1575, 270);

    lblCycle = Place(MakeLabel(this, tr("建物固有周期(s)："), right), 8760, 6120, 1575, 255);
    SetLongForm(lblCycle, lblCycle->text(), tr("建物固有周期(s)：", "long form"));
    SetLongForm(lblAcc, lblAcc->text(), tr("応答加速度", "long form"));
    SetLongForm(lblAcc1, lblAcc1->text(), tr("応答加速度(cm/s2)", "long form"));
    txtCycle = Place(MakeBox(this, "0"), 10440, 6120, 1815, 270);

    // The extremes are the playback's own results: they are shown, not typed.
    for (QLineEdit* box :
         {txtCacMax, txtCacMin, txtAccMax, txtAccMin, txtVelMax, txtVelMin, txtDisMax, txtDisMin}) {
        box->setReadOnly(true);
    }

    // Object names let tests and tools find each control by the name the program uses.
    const std::pair<QObject*, const char*> names[] = {
        {pctCac, "pctCac"},       {pctAcc, "pctAcc"},       {pctVel, "pctVel"},
        {pctDis, "pctDis"},       {pctFig, "pctFig"},       {cmdExit, "cmdExit"},
        {lblCac, "lblCac"},       {Label1, "Label1"},       {txtCacMax, "txtCacMax"},
        {Label2, "Label2"},       {txtCacMin, "txtCacMin"}, {lblAcc, "lblAcc"},
        {Label3, "Label3"},       {txtAccMax, "txtAccMax"}, {Label4, "Label4"},
        {txtAccMin, "txtAccMin"}, {lblVel, "lblVel"},       {Label5, "Label5"},
        {txtVelMax, "txtVelMax"}, {Label6, "Label6"},       {txtVelMin, "txtVelMin"},
        {lblDis, "lblDis"},       {Label7, "Label7"},       {txtDisMax, "txtDisMax"},
        {Label8, "Label8"},       {txtDisMin, "txtDisMin"}, {fraValue, "fraValue"},
        {lblTime, "lblTime"},     {txtTime, "txtTime"},     {lblCac1, "lblCac1"},
        {lblAcc1, "lblAcc1"},     {txtCac, "txtCac"},       {txtAcc, "txtAcc"},
        {lblVel1, "lblVel1"},     {lblDis1, "lblDis1"},     {txtVel, "txtVel"},
        {txtDis, "txtDis"},       {lblCycle, "lblCycle"},   {txtCycle, "txtCycle"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    // Keyboard focus order; labels and the frame take no focus.
    QWidget* const order[] = {
        pctCac,    pctAcc,    pctDis,    pctFig,    cmdExit,   txtTime,   txtCac,
        txtAcc,    txtVel,    txtDis,    txtCacMax, txtCacMin, txtAccMax, txtAccMin,
        txtVelMax, txtVelMin, txtDisMax, txtDisMin, pctVel,    txtCycle,
    };
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // The first tick repaints each graph whole, with its axes.
    PictureBox* const graphs[kGraphCount] = {pctCac, pctAcc, pctVel, pctDis};
    for (int g = 0; g < kGraphCount; ++g) lastSegment_[g] = graphs[g]->Area();
}

void PictureWindow::ShowPoint(const TickFrame& frame, const PlaybackTicker& ticker,
                              const InputCaptions& captions) {
    SetCaption(lblCac, captions.graphLabel);
    SetCaption(lblCac1, captions.valueHeading);

    PictureBox* const graphs[kGraphCount] = {pctCac, pctAcc, pctVel, pctDis};
    for (int g = 0; g < kGraphCount; ++g) {
        PictureBox* box = graphs[g];
        const QRect touched = ExtendGraph(box->Surface(), frame.segments[g], box->ForeColor());
        box->Refresh(touched.united(lastSegment_[g]));
        lastSegment_[g] = touched;
    }

    DrawBuilding(pctFig->Surface(), frame.columnTopX, pctFig->BackColor(), pctFig->ForeColor());
    pctFig->Refresh(pctFig->Area());

    SetBoxText(txtTime, frame.time);
    QLineEdit* const values[kGraphCount] = {txtCac, txtAcc, txtVel, txtDis};
    for (int g = 0; g < kGraphCount; ++g) SetBoxText(values[g], frame.values[g]);

    QLineEdit* const extremes[kExtremeCount] = {txtCacMax, txtCacMin, txtAccMax, txtAccMin,
                                                txtVelMax, txtVelMin, txtDisMax, txtDisMin};
    for (int box = 0; box < kExtremeCount; ++box) {
        if (frame.extremeChanged[box]) SetBoxText(extremes[box], ticker.ExtremeText(box));
    }
}

void PictureWindow::ShowNaturalPeriod(const std::string& text) {
    SetBoxText(txtCycle, text);
}

void PictureWindow::cmdExit_Click() {
    emit ForcedStopAsked();
}

void PictureWindow::closeEvent(QCloseEvent* event) {
    // The window goes only when the playback discards it.
    event->ignore();
    emit FrameCloseAsked();
}

}  // namespace kestrel
