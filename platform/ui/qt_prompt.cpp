#include "platform/ui/qt_prompt.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace tawela::platform {

PromptAnswer QtPrompt::show(const QString& title, const QString& text, PromptIcon icon,
                            PromptButtons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case PromptIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case PromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    // Qt has no Thai names for its buttons: the boxes name them themselves.
    const std::pair<QMessageBox::StandardButton, const char*> names[] = {
        {QMessageBox::Ok, "ตกลง"},
        {QMessageBox::Yes, "ใช่"},
        {QMessageBox::No, "ไม่ใช่"},
        {QMessageBox::Cancel, "ยกเลิก"}};
    for (const auto& [which, name] : names)
        if (QAbstractButton* b = box.button(which))
            b->setText(QString::fromUtf8(name));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        return PromptAnswer::Ok;
    }
}

} // namespace tawela::platform
