#pragma once

#include "customers/customer_form.h"
#include "platform/ui/screen_parts.h"

#include <QGroupBox>
#include <QHash>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tawela::platform {
class FormBinding;
class ThaiDateEdit;
} // namespace tawela::platform

namespace tawela::customers {

// The shown customer's fields in two columns, and the spouse's in a panel of
// their own (placed by the screen). Each field is bound once to its value in
// the form; Enter moves down the fields in the order the staff type them.
class CustomerRecordView : public QGroupBox {
public:
    // `agesUpdated` hears that every customer's age was brought up to date
    // (the screen then closes, as the list it shows is stale).
    CustomerRecordView(CustomerForm& form, platform::FormBinding& binding, platform::ui::Runner run,
                       std::function<void()> agesUpdated);

    QGroupBox* spousePanel() const { return m_spouse; }
    // The field a refused save points at.
    QWidget* fieldOf(CustomerForm::Field field) const;
    void focusCode();
    // The lists, the captions of the shop's own fields, and the calendars.
    void refresh(bool editable);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Fields {
        QLineEdit* code;
        QComboBox *group, *title;
        QLineEdit* sex;
        QLineEdit *name, *sname;
        QComboBox* status;
        platform::ThaiDateEdit* birth;
        QLineEdit* age;
        QComboBox *month, *education;
        QLineEdit *idNumber, *address, *moo, *soi, *road;
        QComboBox *tumbol, *ampor, *province;
        QLineEdit *zip, *homePhone, *mobile, *fax, *user1, *user2, *user3, *user4;
        platform::ThaiDateEdit* user5;
        QLineEdit* email;
        QPlainTextEdit* note;
        QLineEdit *spouse, *spouseOcc;
        QPlainTextEdit* spouseDetail;
    };

    void build();
    void buildSpousePanel();
    void limitTexts();
    void bindFields(platform::FormBinding& binding);
    void setupEnterOrder();
    QLabel* shopLabel(const QString& caption, CustomerForm::ShopPart part);

    CustomerForm& m_form;
    platform::FormBinding& m_binding;
    platform::ui::Runner m_run;
    std::function<void()> m_agesUpdated;
    Fields m_f{};
    QPushButton *m_check = nullptr, *m_allDistricts = nullptr, *m_allSubDistricts = nullptr;
    QGroupBox* m_spouse = nullptr;
    QLabel* m_userLabels[5] = {};
    QLabel* m_ageLabel = nullptr;
    QHash<QObject*, QWidget*> m_enterNext;
};

} // namespace tawela::customers
