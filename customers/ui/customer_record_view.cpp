#include "customers/ui/customer_record_view.h"

#include "platform/ui/form_binding.h"
#include "platform/ui/thai_date_edit.h"
#include "text/thai_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tawela::customers {

using platform::FormBinding;
using platform::ThaiDateEdit;
using platform::ui::button;
using platform::ui::captioned;
using platform::ui::captionedRow;

namespace {

QLineEdit* line(const char* name, const QString& caption)
{
    auto* e = captioned(new QLineEdit, caption);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox* list(const char* name, const QString& caption, bool editable = true)
{
    auto* c = platform::ui::listBox(name, caption, editable);
    c->setMinimumContentsLength(12);
    return c;
}

} // namespace

CustomerRecordView::CustomerRecordView(CustomerForm& form, FormBinding& binding,
                                       platform::ui::Runner run, std::function<void()> agesUpdated)
    : m_form(form), m_binding(binding), m_run(std::move(run)), m_agesUpdated(std::move(agesUpdated))
{
    build();
    buildSpousePanel();
    limitTexts();
    bindFields(binding);
    setupEnterOrder();
    connect(m_check, &QPushButton::clicked, this,
            [this] { m_run([this] { m_form.checkIdNumber(); }); });
    connect(m_allDistricts, &QPushButton::clicked, this,
            [this] { m_run([this] { m_form.address().allDistricts(); }); });
    connect(m_allSubDistricts, &QPushButton::clicked, this,
            [this] { m_run([this] { m_form.address().allSubDistricts(); }); });
}

void CustomerRecordView::buildSpousePanel()
{
    m_spouse = new QGroupBox(QStringLiteral("ข้อมูลคู่สมรส"));
    m_spouse->setObjectName(QStringLiteral("Frame_spouse"));
    auto* sp = new QFormLayout(m_spouse);
    m_f.spouse = line("spouse", QStringLiteral("ชื่อ นามสกุล"));
    m_f.spouseOcc = line("spouse_occ", QStringLiteral("อาชีพ"));
    m_f.spouseDetail = captioned(new QPlainTextEdit, QStringLiteral("บันทึกเพิ่มเติม คู่สมรส"));
    m_f.spouseDetail->setObjectName(QStringLiteral("spouse_detail"));
    m_f.spouseDetail->setTabChangesFocus(true);
    sp->addRow(QStringLiteral("ชื่อ นามสกุล"), m_f.spouse);
    sp->addRow(QStringLiteral("อาชีพ"), m_f.spouseOcc);
    sp->addRow(QStringLiteral("บันทึกเพิ่มเติม"), m_f.spouseDetail);
    m_spouse->hide();
}

void CustomerRecordView::focusCode()
{
    m_f.code->setFocus();
    m_f.code->selectAll();
}

bool CustomerRecordView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_ageLabel) {
            bool done = false;
            m_run([this, &done] { done = m_form.updateAllAges(); });
            if (done)
                m_agesUpdated();
            return true;
        }
        const QVariant part = watched->property("shopPart");
        if (part.isValid() && m_form.hasCurrent() && !m_form.readOnly()) {
            m_run([this, part] {
                m_form.address().fillFromShop(CustomerForm::ShopPart(part.toInt()));
            });
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QGroupBox::eventFilter(watched, event);
    if (watched == m_f.birth->lineEdit())
        m_run([this] { m_form.birthTextEntered(); });
    if (platform::ui::focusNext(m_enterNext, watched))
        return true;
    return QGroupBox::eventFilter(watched, event);
}

void CustomerRecordView::limitTexts()
{
    // Each field is named after its column: it takes no more than the column does.
    for (QWidget* w : findChildren<QWidget*>() + m_spouse->findChildren<QWidget*>()) {
        const int limit = int(textLimit(w->objectName()));
        if (limit == 0)
            continue;
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setMaxLength(limit);
        else if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
            box->lineEdit()->setMaxLength(limit);
        else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
            platform::ui::limitLength(t, limit);
    }
}

QLabel* CustomerRecordView::shopLabel(const QString& caption, CustomerForm::ShopPart part)
{
    auto* label = new QLabel(caption);
    label->setProperty("shopPart", int(part));
    label->setToolTip(QStringLiteral("ดับเบิลคลิกเพื่อใช้ที่อยู่ของร้าน"));
    label->installEventFilter(this);
    return label;
}

void CustomerRecordView::build()
{
    setObjectName(QStringLiteral("Frame1"));
    // Two columns of fields, so the list grid keeps room below them.
    auto* columns = new QHBoxLayout(this);
    auto* k = new QFormLayout;
    auto* k2 = new QFormLayout;
    for (QFormLayout* f : {k, k2}) {
        f->setVerticalSpacing(3);
        auto* column = new QVBoxLayout;
        column->addLayout(f);
        column->addStretch(1);
        columns->addLayout(column, 1);
    }
    m_f.code = line("C_code", QStringLiteral("รหัสลูกค้า"));
    m_f.group = list("class", QStringLiteral("กลุ่ม"));
    captionedRow(k, QStringLiteral("รหัสลูกค้า , กลุ่ม"), {m_f.code, m_f.group});
    m_f.title = list("C_prename", QStringLiteral("คำนำหน้าชื่อ"));
    m_f.sex = line("sex", QStringLiteral("เพศ"));
    m_f.sex->setPlaceholderText(QStringLiteral("นิติบุคคลให้ใส่ OR"));
    m_f.sex->setToolTip(QStringLiteral("นิติบุคคลให้ใส่ OR"));
    captionedRow(k, QStringLiteral("คำนำหน้าชื่อ , เพศ"), {m_f.title, m_f.sex});
    m_f.name = line("C_name", QStringLiteral("ชื่อ / บริษัท"));
    captionedRow(k, QStringLiteral("ชื่อ / บริษัท"), {m_f.name});
    m_f.sname = line("C_Sname", QStringLiteral("นามสกุล/ผู้ติดต่อ"));
    captionedRow(k, QStringLiteral("นามสกุล/ผู้ติดต่อ"), {m_f.sname});
    m_f.status = list("marrital", QStringLiteral("สถานะลูกค้า"));
    m_f.birth = captioned(new ThaiDateEdit, QStringLiteral("วันเกิด"));
    m_f.birth->setObjectName(QStringLiteral("birthday"));
    m_f.age = line("C_age", QStringLiteral("อายุ"));
    m_f.age->setMaximumWidth(60);
    m_ageLabel = new QLabel(QStringLiteral("วันเกิด,อายุ,สถานะ"));
    m_ageLabel->setToolTip(QStringLiteral("กด Double click ที่นี่เพื่อปรับอายุ (ปกติทำปีละครั้ง)"));
    m_ageLabel->installEventFilter(this);
    captionedRow(k, m_ageLabel, {m_f.status, m_f.birth, m_f.age});
    m_f.month = list("month_birth", QStringLiteral("เดือนเกิด"), false);
    m_f.month->addItem(QString());
    m_f.month->addItems(monthNames());
    m_f.education = list("education", QStringLiteral("การศึกษา"));
    m_f.education->addItems(educationLevels());
    captionedRow(k, QStringLiteral("เดือนเกิด , การศึกษา"), {m_f.month, m_f.education});
    m_f.idNumber = line("C_ID", QStringLiteral("เลขบัตร ปชช./TAX ID"));
    m_check = button("cmdCheck", QStringLiteral("Check"));
    captionedRow(k, QStringLiteral("เลขบัตร ปชช./TAX ID"), {m_f.idNumber, m_check});
    m_f.address = line("C_address", QStringLiteral("ที่อยู่ เลขที่ หมู่ที่"));
    m_f.address->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    captionedRow(k, QStringLiteral("ที่อยู่ เลขที่ หมู่ที่"), {m_f.address});
    m_f.moo = line("C_moo", QStringLiteral("หมู่บ้าน / อาคาร"));
    m_f.moo->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    captionedRow(k, QStringLiteral("หมู่บ้าน / อาคาร"), {m_f.moo});
    m_f.soi = line("C_soi", QStringLiteral("ตรอก / ซอย"));
    m_f.soi->setPlaceholderText(QStringLiteral("ใส่คำนำหน้าด้วย"));
    captionedRow(k, QStringLiteral("ตรอก / ซอย"), {m_f.soi});
    m_f.road = line("C_road", QStringLiteral("ถนน"));
    m_f.road->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    captionedRow(k, shopLabel(QStringLiteral("ถนน"), CustomerForm::ShopPart::Road), {m_f.road});
    m_f.tumbol = list("C_tumbol", QStringLiteral("แขวง/ตำบล"));
    m_f.tumbol->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_allSubDistricts = button("cmdAllTumbol", QStringLiteral("All"));
    m_allSubDistricts->setAccessibleName(QStringLiteral("แขวง/ตำบล ทั้งประเทศ"));
    captionedRow(k, shopLabel(QStringLiteral("แขวง/ตำบล"), CustomerForm::ShopPart::Tumbol),
                 {m_f.tumbol, m_allSubDistricts});
    m_f.ampor = list("C_Ampor", QStringLiteral("เขต/อำเภอ"));
    m_f.ampor->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_allDistricts = button("cmdAllAmpor", QStringLiteral("All"));
    m_allDistricts->setAccessibleName(QStringLiteral("เขต/อำเภอ ทั้งประเทศ"));
    captionedRow(k, shopLabel(QStringLiteral("เขต/อำเภอ"), CustomerForm::ShopPart::Ampor),
                 {m_f.ampor, m_allDistricts});
    m_f.province = list("C_Province", QStringLiteral("จังหวัด"));
    m_f.province->lineEdit()->setPlaceholderText(QStringLiteral("ไม่ต้องใส่คำนำหน้า"));
    m_f.zip = line("zip", QStringLiteral("รหัสไปรษณีย์"));
    m_f.zip->setMaximumWidth(80);
    captionedRow(k,
                 shopLabel(QStringLiteral("จังหวัด/รหัสไปรษณีย์"), CustomerForm::ShopPart::ProvinceZip),
                 {m_f.province, m_f.zip});
    m_f.homePhone = line("C_HP", QStringLiteral("โทรศัพท์"));
    captionedRow(k2, QStringLiteral("โทรศัพท์"), {m_f.homePhone});
    m_f.mobile = line("C_MP", QStringLiteral("โทรศัพท์มือถือ"));
    captionedRow(k2, QStringLiteral("โทรศัพท์มือถือ"), {m_f.mobile});
    m_f.fax = line("C_FAX", QStringLiteral("โทรสาร"));
    captionedRow(k2, QStringLiteral("โทรสาร"), {m_f.fax});
    QLineEdit** users[] = {&m_f.user1, &m_f.user2, &m_f.user3, &m_f.user4};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "user" + QByteArray::number(i + 1);
        *users[i] = line(name.constData(), QString::fromLatin1(name));
        m_userLabels[i] = captionedRow(k2, QString::fromLatin1(name), {*users[i]});
    }
    m_f.user5 = captioned(new ThaiDateEdit, QStringLiteral("user5"));
    m_f.user5->setObjectName(QStringLiteral("user5"));
    m_userLabels[4] = captionedRow(k2, QStringLiteral("user5"), {m_f.user5});
    for (ThaiDateEdit* d : {m_f.birth, m_f.user5}) {
        d->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    }
    m_f.email = line("email", QStringLiteral("E mail"));
    captionedRow(k2, QStringLiteral("E mail"), {m_f.email});
    m_f.note = captioned(new QPlainTextEdit, QStringLiteral("บันทึกเพิ่มเติม"));
    m_f.note->setObjectName(QStringLiteral("Note"));
    m_f.note->setTabChangesFocus(true);
    m_f.note->setMaximumHeight(90);
    k2->addRow(QStringLiteral("บันทึกเพิ่มเติม"), m_f.note);
}

void CustomerRecordView::bindFields(FormBinding& b)
{
    CustomerForm& f = m_form;
    Customer& c = f.customer;
    auto text = [&b](auto* widget, QString& value) { b.text(widget, value); };
    text(m_f.code, c.code);
    text(m_f.group, c.group);
    text(m_f.title, c.prename);
    text(m_f.sex, c.sex);
    text(m_f.name, c.name);
    text(m_f.sname, c.sname);
    text(m_f.status, c.status);
    text(m_f.birth->lineEdit(), f.birthText);
    text(m_f.age, f.ageText);
    text(m_f.month, c.monthBirth);
    text(m_f.education, c.education);
    text(m_f.idNumber, c.idNumber);
    text(m_f.address, c.address);
    text(m_f.moo, c.moo);
    text(m_f.soi, c.soi);
    text(m_f.road, c.road);
    text(m_f.tumbol, c.tumbol);
    text(m_f.ampor, c.ampor);
    text(m_f.province, c.province);
    text(m_f.zip, c.zip);
    text(m_f.homePhone, c.homePhone);
    text(m_f.mobile, c.mobile);
    text(m_f.fax, c.fax);
    text(m_f.user1, c.user1);
    text(m_f.user2, c.user2);
    text(m_f.user3, c.user3);
    text(m_f.user4, f.user4Text);
    text(m_f.user5->lineEdit(), f.user5Text);
    text(m_f.email, c.email);
    text(m_f.note, c.note);
    text(m_f.spouse, c.spouse);
    text(m_f.spouseOcc, c.spouseOcc);
    text(m_f.spouseDetail, c.spouseDetail);

    // A date picked from the calendar fills the text (and age and month) at
    // once; a typed one counts at Enter, as the text is still being typed.
    auto picked = [this](ThaiDateEdit* field, const QDate& d) {
        return !m_binding.showing() && d.isValid() && !field->lineEdit()->hasFocus();
    };
    connect(m_f.birth, &ThaiDateEdit::dateChanged, this, [this, picked](const QDate& d) {
        if (picked(m_f.birth, d))
            m_run([this, d] { m_form.birthDatePicked(d); });
    });
    connect(m_f.user5, &ThaiDateEdit::dateChanged, this, [this, picked](const QDate& d) {
        if (picked(m_f.user5, d))
            m_run([this, d] { m_form.user5Picked(d); });
    });
    // Choices from the lists (not every keystroke).
    auto chosen = [this](QComboBox* box, std::function<void(const QString&)> command) {
        connect(box, &QComboBox::activated, this, [this, box, command] {
            const QString t = box->currentText();
            m_run([command, t] { command(t); });
        });
    };
    chosen(m_f.title, [this](const QString& t) { m_form.titleChosen(t); });
    chosen(m_f.province, [this](const QString& t) { m_form.address().provinceChosen(t); });
    chosen(m_f.ampor, [this](const QString& t) { m_form.address().districtChosen(t); });
    connect(m_f.tumbol, &QComboBox::activated, this, [this](int index) {
        const QString t = m_f.tumbol->itemText(index);
        m_run([this, t] { m_form.address().subDistrictChosen(t); });
    });
    connect(m_f.zip, &QLineEdit::editingFinished, this, [this] {
        if (m_form.customer.zip.trimmed().size() == 5 && m_form.customer.province.isEmpty())
            m_run([this] { m_form.address().postCodeEntered(); });
    });
}

void CustomerRecordView::setupEnterOrder()
{
    const QList<QWidget*> order = {
        m_f.code,     m_f.group, m_f.title,     m_f.sex,    m_f.name,      m_f.sname,
        m_f.status,   m_f.birth, m_f.age,       m_f.month,  m_f.education, m_f.idNumber,
        m_f.address,  m_f.moo,   m_f.soi,       m_f.road,   m_f.tumbol,    m_f.ampor,
        m_f.province, m_f.zip,   m_f.homePhone, m_f.mobile, m_f.fax,       m_f.user1,
        m_f.user2,    m_f.user3, m_f.user4,     m_f.user5,  m_f.email};
    auto keyTarget = [](QWidget* w) -> QObject* {
        if (auto* d = qobject_cast<ThaiDateEdit*>(w))
            return d->lineEdit();
        if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable())
            return c->lineEdit();
        return w;
    };
    auto focusTarget = [](QWidget* w) -> QWidget* {
        if (auto* d = qobject_cast<ThaiDateEdit*>(w))
            return d->lineEdit();
        return w;
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QObject* from = keyTarget(order[i]);
        from->installEventFilter(this);
        m_enterNext.insert(from, focusTarget(order[i + 1]));
        if (from != order[i]) {
            order[i]->installEventFilter(this);
            m_enterNext.insert(order[i], focusTarget(order[i + 1]));
        }
    }
}

QWidget* CustomerRecordView::fieldOf(CustomerForm::Field field) const
{
    switch (field) {
    case CustomerForm::Field::Code:
        return m_f.code;
    case CustomerForm::Field::Name:
        return m_f.name;
    case CustomerForm::Field::IdNumber:
        return m_f.idNumber;
    case CustomerForm::Field::BirthDate:
        return m_f.birth->lineEdit();
    case CustomerForm::Field::Age:
        return m_f.age;
    case CustomerForm::Field::User4:
        return m_f.user4;
    case CustomerForm::Field::User5:
        return m_f.user5->lineEdit();
    case CustomerForm::Field::District:
        return m_f.ampor;
    case CustomerForm::Field::SubDistrict:
        return m_f.tumbol;
    case CustomerForm::Field::PostCode:
        return m_f.zip;
    case CustomerForm::Field::LongText:
        return findChild<QWidget*>(m_form.longTextColumn());
    }
    return nullptr;
}

void CustomerRecordView::refresh(bool editable)
{
    setEnabled(editable);
    m_spouse->setEnabled(editable);
    const CustomerForm& f = m_form;
    platform::ui::showItems(m_f.group, f.groups);
    platform::ui::showItems(m_f.status, f.statuses);
    platform::ui::showItems(m_f.title, f.titles);
    platform::ui::showItems(m_f.province, f.address().provinces);
    platform::ui::showItems(m_f.ampor, f.address().districts);
    QStringList subs;
    for (const SubDistrict& s : f.address().subDistricts)
        subs << s.name;
    platform::ui::showItems(m_f.tumbol, subs);
    for (int i = 0; i < 5; ++i) {
        m_userLabels[i]->setText(f.userCaptions.value(i));
        m_userLabels[i]->buddy()->setAccessibleName(f.userCaptions.value(i));
    }
    m_f.user5->lineEdit()->setAccessibleName(f.userCaptions.value(4));
    // The calendars open at the date shown.
    for (auto [picker, typed] :
         {std::pair{m_f.birth, m_form.birthText}, std::pair{m_f.user5, m_form.user5Text}}) {
        const QDate d = text::parseBuddhistDate(typed);
        if (d.isValid() && d != picker->date()) {
            const QSignalBlocker quiet(picker);
            picker->setDate(d);
        }
    }
}

} // namespace tawela::customers
