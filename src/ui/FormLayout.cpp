#include "ui/FormLayout.h"

#include <qdrawutil.h>

#include <QBoxLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace kestrel {

QLabel* MakeLabel(QWidget* parent, const QString& caption, Qt::Alignment align) {
    auto* label = new QLabel(caption, parent);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

void AddLabelledBox(QBoxLayout* row, const QString& caption, QWidget* box) {
    auto* label = new QLabel(caption);
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
}

namespace {

// The application's style, with frames whose caption is set into their top line: the
// line runs at half the caption's height and breaks for the caption.
class FrameStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !frame) {
            return QProxyStyle::subControlRect(control, option, part, widget);
        }
        const QRect r = frame->rect;
        const int captionHeight = frame->fontMetrics.height();
        switch (part) {
            case SC_GroupBoxFrame:
                return r.adjusted(0, captionHeight / 2, 0, 0);
            case SC_GroupBoxLabel: {
                const int width = frame->fontMetrics.horizontalAdvance(frame->text) + 2 * kPadding;
                return QRect(r.left() + kIndent, r.top(), std::min(width, r.width() - kIndent),
                             captionHeight);
            }
            case SC_GroupBoxContents:
                return r.adjusted(1, captionHeight, -1, -1);
            default:
                return QProxyStyle::subControlRect(control, option, part, widget);
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !frame) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
        // An etched line, as frames have always been drawn.
        painter->save();
        painter->setClipRegion(QRegion(frame->rect).subtracted(caption));
        qDrawShadeRect(painter, subControlRect(control, option, SC_GroupBoxFrame, widget),
                       frame->palette, true, 1, 0);
        painter->restore();
        proxy()->drawItemText(painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic,
                              frame->palette, frame->state & State_Enabled, frame->text,
                              QPalette::WindowText);
    }

private:
    static constexpr int kIndent = 6;   // the caption's start from the frame's left edge
    static constexpr int kPadding = 2;  // the gap in the line either side of the caption
};

}  // namespace

QGroupBox* MakeFrame(QWidget* parent, const QString& caption) {
    // One style serves every frame of the program; it lives as long as the application.
    static QPointer<FrameStyle> style;
    if (!style) {
        style = new FrameStyle;
        style->setParent(QCoreApplication::instance());
    }
    auto* frame = new QGroupBox(caption, parent);
    frame->setStyle(style);
    return frame;
}

void MakeOptionGroupTabStop(std::initializer_list<QAbstractButton*> options) {
    const QList<QAbstractButton*> group(options);
    auto follow = [group] {
        for (QAbstractButton* option : group) {
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    for (QAbstractButton* option : group)
        QObject::connect(option, &QAbstractButton::toggled, follow);
    follow();
}

QLineEdit* MakeBox(QWidget* parent, const char* text) {
    auto* box = new QLineEdit(QString::fromUtf8(text), parent);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

void SetLongForm(QWidget* control, const QString& caption, const QString& longForm) {
    if (longForm != caption) control->setToolTip(longForm);
}

void SetUpFixedDialog(QWidget* window, const QString& title, int widthTwips, int heightTwips) {
    window->setWindowTitle(title);
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    window->setFont(UiFont());
    window->setFixedSize(Px(widthTwips), Px(heightTwips));
}

}  // namespace kestrel
