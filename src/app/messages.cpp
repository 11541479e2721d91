#include "app/messages.h"
#include "connection/applog.h"

#include <QApplication>
#include <QMessageBox>

namespace zel {

namespace {
std::shared_ptr<MessageService>& current() {
    static std::shared_ptr<MessageService> service = std::make_shared<BoxMessages>();
    return service;
}
QWidget* parentWindow() {
    return QApplication::activeWindow();
}
} // namespace

void BoxMessages::info(const QString& text, const QString& title) {
    writeLog(QStringLiteral("message"), text);
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

void BoxMessages::error(const QString& text, const QString& title) {
    writeLog(QStringLiteral("error"), text);
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

bool BoxMessages::question(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                    parentWindow());
    // Enter alone never deletes or posts: Yes is a deliberate choice.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

MessageService::Answer BoxMessages::ask(const QString& text, const QString& title,
                                        Answer defaultButton) {
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parentWindow());
    box.setDefaultButton(defaultButton == Answer::Yes  ? QMessageBox::Yes
                         : defaultButton == Answer::No ? QMessageBox::No
                                                       : QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool BoxMessages::questionDefaultNo(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No,
                    parentWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void RecordingMessages::info(const QString& text, const QString& title) {
    writeLog(QStringLiteral("message"), text);
    messages.push_back({Message::Info, text, title});
}

void RecordingMessages::error(const QString& text, const QString& title) {
    writeLog(QStringLiteral("error"), text);
    messages.push_back({Message::Error, text, title});
}

bool RecordingMessages::question(const QString& text, const QString& title) {
    messages.push_back({Message::Question, text, title});
    if (answers.empty())
        return false;
    bool yes = answers.front();
    answers.pop_front();
    return yes;
}

MessageService::Answer RecordingMessages::ask(const QString& text, const QString& title, Answer) {
    messages.push_back({Message::Question, text, title});
    if (choices.empty())
        return Answer::Cancel;
    Answer a = choices.front();
    choices.pop_front();
    return a;
}

bool RecordingMessages::questionDefaultNo(const QString& text, const QString& title) {
    const bool yes = question(text, title);
    messages.back().defaultNo = true;
    return yes;
}

QStringList RecordingMessages::texts() const {
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}

MessageService& messages() {
    return *current();
}

void setMessageService(std::shared_ptr<MessageService> service) {
    current() = service ? std::move(service) : std::make_shared<BoxMessages>();
}

} // namespace zel
