#pragma once

#include "reports/receipt_reprint.h"

#include <QWidget>

#include <memory>

class QComboBox;

namespace tawela::reports {

// "พิมพ์ใบเสร็จย้อนหลัง": a receipt number, completed from the receipts
// written, and "Print".
class ReceiptReprintScreen : public QWidget {
    Q_OBJECT
public:
    explicit ReceiptReprintScreen(std::unique_ptr<ReceiptReprintForm> form,
                                  QWidget* parent = nullptr);
    ReceiptReprintForm& form() { return *m_form; }

private:
    void showNumbers();

    std::unique_ptr<ReceiptReprintForm> m_form;
    QComboBox* m_number;
};

} // namespace tawela::reports
