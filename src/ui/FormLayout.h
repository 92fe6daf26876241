// What every window of the program shares in building itself: positions given in twips,
// labels and right-aligned boxes, and the fixed-size dialog frame with the Japanese font.
#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>

#include "runtime/UiFont.h"

class QBoxLayout;

namespace kestrel {

// A rectangle given in twips, in pixels.
inline QRect TwipRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// Places a control at its position and size given in twips.
template <typename Widget>
Widget* Place(Widget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipRect(left, top, width, height));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, Qt::Alignment align = Qt::AlignLeft);

// A caption whose access key moves to the box after it, and the box, added to a row.
void AddLabelledBox(QBoxLayout* row, const QString& caption, QWidget* box);

// A frame with its caption set into its top line; the line runs at half the caption's
// height, so that the controls placed inside stay clear of it.
QGroupBox* MakeFrame(QWidget* parent, const QString& caption);

// Option buttons of one group: Tab stops at the one that is on (the others are reached
// with the arrow keys, which also switch them on), wherever the group sits in the order.
void MakeOptionGroupTabStop(std::initializer_list<QAbstractButton*> options);

// A text box; the program's boxes hold numbers and are right-aligned.
QLineEdit* MakeBox(QWidget* parent, const char* text);

// A caption shortened in translation to fit its fixed place carries its long form as a
// tooltip: `longForm` is the same source text translated with the disambiguation "long
// form". Where the two are the same (in Japanese, the source language) there is none.
void SetLongForm(QWidget* control, const QString& caption, const QString& longForm);

// A fixed-size dialog frame (title and close box, no minimise or maximise buttons) with
// the given title, client size in twips and the program's font.
void SetUpFixedDialog(QWidget* window, const QString& title, int widthTwips, int heightTwips);

}  // namespace kestrel
