// frmPicture: the playback window. Four growing time-history graphs on the left, the
// swaying building at the top right, the current values and their running extremes, the
// natural period and the forced-stop button.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "playback/PlaybackLayout.h"
#include "playback/PlaybackTick.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

// A picture box: a sunken drawing area whose drawings are kept in an image, so that a
// covered and uncovered box shows them again, with fixed line shapes drawn over them.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    // The box at its place in pixels; the drawing area is the inside of its border.
    PictureBox(QWidget* parent, const QRect& geometryPx);

    QImage& Surface() { return surface_; }
    QColor BackColor() const;
    QColor ForeColor() const;
    // The drawing area's rectangle, in pixels of the drawing area.
    QRect Area() const;

    void SetLineShapes(std::vector<TwipLine> lines);
    // Repaints the part of the drawing area that changed.
    void Refresh(const QRect& areaPx);

    static constexpr int kBorder = 2;  // the sunken border, in pixels

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage surface_;
    std::vector<TwipLine> lineShapes_;
};

class PictureWindow : public QWidget {
    Q_OBJECT

public:
    explicit PictureWindow(QWidget* parent = nullptr);

    // One tick's point: the captions of the input, the new segment of each graph, the
    // building, the time, the current values and the extremes that changed.
    void ShowPoint(const TickFrame& frame, const PlaybackTicker& ticker,
                   const InputCaptions& captions);

    // The building's natural period in txtCycle.
    void ShowNaturalPeriod(const std::string& text);

    // "強制終了(&X)".
    void cmdExit_Click();

    // Controls, named as the program has always named them.
    PictureBox* pctCac = nullptr;
    PictureBox* pctAcc = nullptr;
    PictureBox* pctVel = nullptr;
    PictureBox* pctDis = nullptr;
    PictureBox* pctFig = nullptr;
    QPushButton* cmdExit = nullptr;
    QLabel* lblCac = nullptr;
    QLabel* lblAcc = nullptr;
    QLabel* lblVel = nullptr;
    QLabel* lblDis = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtCacMax = nullptr;
    QLineEdit* txtCacMin = nullptr;
    QLineEdit* txtAccMax = nullptr;
    QLineEdit* txtAccMin = nullptr;
    QLineEdit* txtVelMax = nullptr;
    QLineEdit* txtVelMin = nullptr;
    QLineEdit* txtDisMax = nullptr;
    QLineEdit* txtDisMin = nullptr;
    QGroupBox* fraValue = nullptr;
    QLabel* lblTime = nullptr;
    QLineEdit* txtTime = nullptr;
    QLabel* lblCac1 = nullptr;
    QLabel* lblAcc1 = nullptr;
    QLabel* lblVel1 = nullptr;
    QLabel* lblDis1 = nullptr;
    QLineEdit* txtCac = nullptr;
    QLineEdit* txtAcc = nullptr;
    QLineEdit* txtVel = nullptr;
    QLineEdit* txtDis = nullptr;
    QLabel* lblCycle = nullptr;
    QLineEdit* txtCycle = nullptr;

signals:
    // "強制終了(&X)" was pressed.
    void ForcedStopAsked();
    // The window frame's close box was pressed; the window stays until the playback
    // discards it.
    void FrameCloseAsked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();

    // Per graph, the pixels of the segment drawn last: the next tick's axes may cover
    // part of it, so it is repainted with the next segment.
    std::array<QRect, kGraphCount> lastSegment_;
};

}  // namespace kestrel
