// Checks shared by the window tests: captions and the keyboard focus order.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <span>
#include <utility>
#include <vector>

namespace kestrel::test {

// What a control shows: a button's or label's caption, a box's text, a frame's title.
inline QString CaptionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return {};
}

// Whether a control has its place in the tab order: labels and frames take no focus; of an
// option group only the button that is on is a tab stop, but each keeps its place.
inline bool HasTabPlace(QWidget* w) {
    if (auto* option = qobject_cast<QAbstractButton*>(w)) {
        if (option->autoExclusive() && option->focusPolicy() != Qt::NoFocus) return true;
    }
    return w->focusPolicy() & Qt::TabFocus;
}

// The control after the given one in the tab order.
inline QWidget* NextTabStop(QWidget* from) {
    QWidget* next = from->nextInFocusChain();
    while (!HasTabPlace(next)) next = next->nextInFocusChain();
    return next;
}

// Tab goes from each named control to the next one named.
inline void CheckTabOrder(QWidget& window, std::span<const char* const> order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        auto* from = window.findChild<QWidget*>(QString::fromLatin1(order[i - 1]));
        QVERIFY2(from, order[i - 1]);
        QCOMPARE(NextTabStop(from)->objectName(), QString::fromLatin1(order[i]));
    }
}

// A control by its name and what it shows (CaptionOf).
using NamedCaption = std::pair<const char*, const char*>;

// The layout as a user sees it: every named control is there with its caption, lies inside
// its parent, shows a label's caption whole, and covers none of the other named controls
// beside it (edges may touch by a pixel).
inline void CheckControlsWholeAndApart(QWidget& window, std::span<const NamedCaption> controls) {
    std::vector<QWidget*> found;
    for (const auto& [name, caption] : controls) {
        auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(w, name);
        QCOMPARE(CaptionOf(w), QString::fromUtf8(caption));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), name);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            QVERIFY2(label->sizeHint().width() <= label->width(), name);
        }
        for (QWidget* other : found) {
            if (other->parentWidget() != w->parentWidget()) continue;
            const QRect inner = w->geometry().adjusted(1, 1, -1, -1);
            QVERIFY2(!inner.intersects(other->geometry().adjusted(1, 1, -1, -1)),
                     qPrintable(QString::fromLatin1(name) + QStringLiteral(" covers ") +
                                other->objectName()));
        }
        found.push_back(w);
    }
}

// The open top-level window of a kind, if there is one.
template <typename Window>
Window* TopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<Window*>(w)) return found;
    }
    return nullptr;
}

}  // namespace kestrel::test
