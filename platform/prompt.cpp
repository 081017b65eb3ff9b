#include "platform/prompt.h"

namespace tawela::platform {

QString Prompt::informationTitle()
{
    return QStringLiteral("ข้อมูลข่าวสาร");
}
QString Prompt::stopTitle()
{
    return QStringLiteral("โปรดระวัง");
}
QString Prompt::errorTitle()
{
    return QStringLiteral("พบข้อผิดพลาด");
}
QString Prompt::warningTitle()
{
    return QStringLiteral("เตือน...");
}

void Prompt::information(const QString& text)
{
    show(informationTitle(), text, PromptIcon::Information, PromptButtons::Ok);
}

void Prompt::stop(const QString& text)
{
    show(stopTitle(), text, PromptIcon::Critical, PromptButtons::Ok);
}

void Prompt::error(const QString& text)
{
    show(errorTitle(), text, PromptIcon::Critical, PromptButtons::Ok);
}

bool Prompt::askYesNo(const QString& text)
{
    return show(warningTitle(), text, PromptIcon::Warning, PromptButtons::YesNo) ==
           PromptAnswer::Yes;
}

void Prompt::plain(const QString& text)
{
    show(QString(), text, PromptIcon::None, PromptButtons::Ok);
}

namespace {
void (*g_unexpected)(const QString&) = nullptr;
}

void ScriptedPrompt::setUnexpectedHandler(void (*handler)(const QString& question))
{
    g_unexpected = handler;
}

PromptAnswer ScriptedPrompt::show(const QString& title, const QString& text, PromptIcon icon,
                                  PromptButtons buttons)
{
    m_messages << Message{title, text, icon, buttons};
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (!m_yesToAll && g_unexpected)
        g_unexpected(text);
    return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
}

} // namespace tawela::platform
