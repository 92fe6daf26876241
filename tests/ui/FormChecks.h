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

// The open top-level window of a kind, if there is one.
template <typename Window>
Window* TopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<Window*>(w)) return found;
    }
    return nullptr;
}

}  // namespace kestrel::test
