#pragma once

#include "reports/printer_settings.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace tawela::reports {

// "Printer Select": which printer, margin and preview each kind of document uses.
class PrinterTbScreen : public QWidget {
    Q_OBJECT
public:
    explicit PrinterTbScreen(std::unique_ptr<PrinterTbForm> form, QWidget* parent = nullptr);
    PrinterTbForm& form() { return *m_form; }

private:
    struct LineWidgets {
        QLineEdit* name;
        QLineEdit* index;
        QLineEdit* offset;
        QCheckBox* preview;
    };
    void moveChooser(int line);
    void showLine(int line);
    void readLines();

    std::unique_ptr<PrinterTbForm> m_form;
    QGridLayout* m_grid;
    QList<LineWidgets> m_lines;
    QComboBox* m_chooser;
    QPushButton* m_select;
};

} // namespace tawela::reports
