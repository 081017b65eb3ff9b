#pragma once

#include "platform/ui/screen_parts.h"

#include "contracts/contract_form.h"
#include "platform/ui/picture_slots.h"

#include <QObject>

#include <array>
#include <functional>

class QFormLayout;
class QLineEdit;
class QPushButton;

namespace tawela::platform {
class FormBinding;
}

namespace tawela::contracts {

// The goods panel's three picture rows: the path and caption of each slot,
// with its file, scan, webcam, view and remove commands, over the form's
// GoodsPictures.
class GoodsPicturesView : public QObject {
public:
    using Runner = platform::ui::Runner;
    GoodsPicturesView(ContractForm& form, Runner run, QWidget* owner);

    // The three rows, added to the goods panel's form.
    void addRows(QFormLayout* into);
    void bind(platform::FormBinding& b);
    // The scan and webcam commands, on when the program can capture.
    void useCapture(platform::ui::CaptureOpener open);
    void setFileChooser(platform::ui::FileChooser chooser) { m_chooseFile = std::move(chooser); }

protected:
    // Double-click on a caption: the file name of the path.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Slot {
        QLineEdit *path = nullptr, *caption = nullptr;
        QPushButton *choose = nullptr, *scan = nullptr, *webcam = nullptr, *view = nullptr,
                    *remove = nullptr;
    };
    ContractForm& m_form;
    Runner m_run;
    std::array<Slot, 3> m_slots{};
    platform::ui::FileChooser m_chooseFile;
};

} // namespace tawela::contracts
