#include "runtime/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "runtime/UiFont.h"

namespace kestrel {

int QtMessageService::ShowMessage(const QString& prompt, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setFont(UiFont());
    const bool yesNo = style == kYesNoQuestion || style == kYesNoInformation;
    switch (style) {
        case kOkExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case kOkCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case kYesNoQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            break;
    }
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (!yesNo) return kAnswerOk;
    return pressed == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

int QtMessageService::AskChoice(const QString& prompt, const QString& title,
                                const QStringList& choices) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setFont(UiFont());
    box.setIcon(QMessageBox::Question);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    }
    QAbstractButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
    box.exec();
    // The close box counts as cancel: it leaves clickedButton() at the escape button.
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

void QtMessageService::Beep() {
    QApplication::beep();
}

void QtMessageService::EndProgram() {
    // Every window, shown or hidden, leaves the screen now; the event loop ends and main()
    // returns, which discards them. Hiding does not ask the windows' close questions.
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QApplication::exit(0);
}

}  // namespace kestrel
