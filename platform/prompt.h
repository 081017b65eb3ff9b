#pragma once

#include <QList>
#include <QString>

namespace tawela::platform {

enum class PromptIcon { None, Information, Warning, Critical, Question };
enum class PromptButtons { Ok, YesNo, OkCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// Every message the program shows goes through this interface, so that the
// logic can be driven by tests that read the messages and answer questions.
class Prompt {
public:
    virtual ~Prompt() = default;

    virtual PromptAnswer show(const QString& title, const QString& text, PromptIcon icon,
                              PromptButtons buttons) = 0;

    // "ข้อมูลข่าวสาร" with the information icon.
    void information(const QString& text);
    // "โปรดระวัง" with the stop icon (required fields and refusals).
    void stop(const QString& text);
    // "พบข้อผิดพลาด" with the error icon (caught failures).
    void error(const QString& text);
    // A Yes/No warning titled "เตือน..."; true for Yes.
    bool askYesNo(const QString& text);
    // A plain box with OK and no title of its own.
    void plain(const QString& text);

    static QString informationTitle();
    static QString stopTitle();
    static QString errorTitle();
    static QString warningTitle();
};

// A prompt for tests and benchmarks: records every message and answers
// questions from a queue. A question with nothing queued for it is answered
// Yes and reported to the handler set by setUnexpectedHandler() (a test
// program fails the running test there), unless answerYesToAll() was asked.
class ScriptedPrompt : public Prompt {
public:
    struct Message {
        QString title;
        QString text;
        PromptIcon icon;
        PromptButtons buttons;
    };

    PromptAnswer show(const QString& title, const QString& text, PromptIcon icon,
                      PromptButtons buttons) override;

    void queueAnswer(PromptAnswer answer) { m_answers << answer; }
    // For a run that means to say Yes to whatever it is asked.
    void answerYesToAll() { m_yesToAll = true; }
    static void setUnexpectedHandler(void (*handler)(const QString& question));
    const QList<Message>& messages() const { return m_messages; }
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QList<PromptAnswer> m_answers;
    bool m_yesToAll = false;
};

} // namespace tawela::platform
