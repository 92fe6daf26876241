// Message boxes, the beep and the end of the program, behind one small interface so that
// tests can script the user's answers.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kestrel {

// The styles of a message: icon and buttons.
enum MessageStyle : int {
    kOkInformation = 64,     // OK, information icon
    kOkExclamation = 48,     // OK, exclamation icon
    kOkCritical = 16,        // OK, critical icon
    kYesNoQuestion = 36,     // Yes and No, question icon
    kYesNoInformation = 68,  // Yes and No, information icon
};

// The answers: the button the user pressed.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessageService {
public:
    virtual ~MessageService() = default;
    // A modal message box; returns the button pressed (kAnswerOk, kAnswerYes, kAnswerNo).
    // The event loop, and with it any running timer, goes on while the box is open.
    virtual int ShowMessage(const QString& prompt, int style, const QString& title) = 0;
    // A modal question with one button per choice and a cancel button; returns the 0-based
    // index of the choice pressed, or -1 for cancel (and for the close box). Services that
    // never ask answer cancel.
    virtual int AskChoice(const QString& /*prompt*/, const QString& /*title*/,
                          const QStringList& /*choices*/) {
        return -1;
    }
    // The system beep.
    virtual void Beep() = 0;
    // Ends the program at once, whatever windows are open or hidden.
    virtual void EndProgram() = 0;
};

// The real service: QMessageBox over the active window, QApplication's beep and exit.
class QtMessageService : public MessageService {
public:
    int ShowMessage(const QString& prompt, int style, const QString& title) override;
    int AskChoice(const QString& prompt, const QString& title, const QStringList& choices) override;
    void Beep() override;
    void EndProgram() override;
};

}  // namespace kestrel
