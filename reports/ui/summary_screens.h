#pragma once

#include "reports/summaries.h"

#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;

namespace tawela::platform {
class ThaiDateEdit;
}

namespace tawela::reports {

// "รายงานสรุป เกี่ยวกับสัญญา": the reference date, the nine lists, "พิมพ์".
class ContractSummaryScreen : public QWidget {
    Q_OBJECT
public:
    explicit ContractSummaryScreen(std::unique_ptr<ContractSummaryForm> form,
                                   QWidget* parent = nullptr);
    ContractSummaryForm& form() { return *m_form; }

private:
    std::unique_ptr<ContractSummaryForm> m_form;
    platform::ThaiDateEdit* m_at;
    QButtonGroup* m_choices;
};

// "ดูรายงาน": the two dates, the income and expense summaries, "พิมพ์", and
// "ปรับเครื่องพิมพ์ และขนาดกระดาษ" (paperSetup).
class MoneySummaryScreen : public QWidget {
    Q_OBJECT
public:
    MoneySummaryScreen(std::unique_ptr<MoneySummaryForm> form, std::function<void()> paperSetup,
                       QWidget* parent = nullptr);
    MoneySummaryForm& form() { return *m_form; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<MoneySummaryForm> m_form;
    platform::ThaiDateEdit *m_from, *m_to;
    QButtonGroup* m_choices;
    QWidget* m_print;
};

} // namespace tawela::reports
