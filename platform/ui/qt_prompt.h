#pragma once

#include "platform/prompt.h"

class QWidget;

namespace tawela::platform {

// Shows prompts as Qt message boxes over the given parent window.
class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : m_parent(parent) {}

    PromptAnswer show(const QString& title, const QString& text, PromptIcon icon,
                      PromptButtons buttons) override;

private:
    QWidget* m_parent;
};

} // namespace tawela::platform
