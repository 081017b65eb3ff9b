#pragma once

#include <QTranslator>

namespace tawela::platform {

// Qt ships no Thai translation of its own dialogs: this gives the buttons and
// captions of message boxes, button boxes, file, print and preview dialogs
// their Thai names. Texts it does not know stay as Qt has them.
class ThaiTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
};

// The Thai name of a standard button text ("&Yes", "Cancel" …), or an empty
// text when there is none.
QString thaiButtonText(const char* sourceText);

} // namespace tawela::platform
