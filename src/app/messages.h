#pragma once
// Every message box of the program goes through one service, so tests can
// see each message and answer each question.
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace zel {

// The program's default title, used where a message box names no title.
inline const QString kAppTitle = QStringLiteral("Zel Purchasing");

class MessageService {
public:
    virtual ~MessageService() = default;
    // Information icon, OK button.
    virtual void info(const QString& text, const QString& title = QString()) = 0;
    // A plain box: OK button, no icon; the program's title when none is given.
    virtual void error(const QString& text, const QString& title = kAppTitle) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& text, const QString& title) = 0;

    // A Yes/No/Cancel question; Escape and closing the box answer Cancel.
    // (A service without its own box asks Yes/No.)
    enum class Answer { Yes, No, Cancel };
    virtual Answer ask(const QString& text, const QString& title,
                       Answer defaultButton = Answer::Cancel) {
        (void)defaultButton;
        return question(text, title) ? Answer::Yes : Answer::No;
    }

    // A Yes/No question whose default button is No, for a step that cannot
    // be undone: Enter alone answers No. True for Yes.
    virtual bool questionDefaultNo(const QString& text, const QString& title) {
        return question(text, title);
    }
};

// Message boxes on screen.
class BoxMessages : public MessageService {
public:
    void info(const QString& text, const QString& title) override;
    void error(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    Answer ask(const QString& text, const QString& title, Answer defaultButton) override;
    bool questionDefaultNo(const QString& text, const QString& title) override;
};

// The test double: records every message and answers questions from a queue
// (No when the queue is empty).
class RecordingMessages : public MessageService {
public:
    struct Message {
        enum Kind { Info, Error, Question } kind;
        QString text, title;
        // A question whose default button is No.
        bool defaultNo = false;
    };
    void info(const QString& text, const QString& title) override;
    void error(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    // Recorded as a question; answered from `choices` (Cancel when it is empty).
    Answer ask(const QString& text, const QString& title, Answer defaultButton) override;
    bool questionDefaultNo(const QString& text, const QString& title) override;

    void answer(bool yes) { answers.push_back(yes); }
    void choose(Answer a) { choices.push_back(a); }
    void clear() { messages.clear(); }
    QStringList texts() const;
    QString last() const { return messages.empty() ? QString() : messages.back().text; }

    std::vector<Message> messages;
    std::deque<bool> answers;
    std::deque<Answer> choices;
};

MessageService& messages();
// Installs the service (the program installs BoxMessages, tests a RecordingMessages).
void setMessageService(std::shared_ptr<MessageService> service);

} // namespace zel
