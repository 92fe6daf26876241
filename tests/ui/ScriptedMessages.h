// A message service for tests: records every message, answers from a script, and records
// beeps and the end of the program instead of performing them.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "runtime/MessageService.h"

namespace kestrel::test {

struct ShownMessage {
    QString prompt;
    int style = 0;
    QString title;
};

struct AskedChoice {
    QString prompt;
    QString title;
    QStringList choices;
};

class ScriptedMessages : public MessageService {
public:
    // Answers given in order; when the script runs out, Yes/No questions get No and OK
    // messages OK.
    std::deque<int> answers;
    // Called while a message is "open", before it is answered: lets a test do what the
    // user's event loop would do meanwhile (timer ticks, for instance).
    std::function<void(const ShownMessage&)> whileOpen;

    // Answers to AskChoice in order (0-based index, -1 for cancel); cancel when it runs out.
    std::deque<int> choiceAnswers;

    std::vector<ShownMessage> shown;
    std::vector<AskedChoice> asked;
    int beeps = 0;
    int endings = 0;

    int ShowMessage(const QString& prompt, int style, const QString& title) override {
        shown.push_back({prompt, style, title});
        if (whileOpen) whileOpen(shown.back());
        const bool yesNo = style == kYesNoQuestion || style == kYesNoInformation;
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return yesNo ? kAnswerNo : kAnswerOk;
    }
    int AskChoice(const QString& prompt, const QString& title,
                  const QStringList& choices) override {
        asked.push_back({prompt, title, choices});
        if (choiceAnswers.empty()) return -1;
        const int answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }
    void Beep() override { ++beeps; }
    void EndProgram() override { ++endings; }

    QStringList Prompts() const {
        QStringList list;
        for (const ShownMessage& m : shown) list << m.prompt;
        return list;
    }
};

}  // namespace kestrel::test
