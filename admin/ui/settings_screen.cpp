#include "admin/ui/settings_screen.h"

#include "platform/ui/screen_parts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tawela::admin {

using Number = SettingsForm::Number;
using Group = SettingsForm::Group;
using platform::ui::captioned;

SettingsScreen::SettingsScreen(std::unique_ptr<SettingsForm> form, QWidget* parent)
    : QWidget(parent), m_form(std::move(form))
{
    setObjectName(QStringLiteral("set_config"));
    setWindowTitle(QStringLiteral("ปรับแต่งค่าเริ่มต้น"));
    setAttribute(Qt::WA_DeleteOnClose);
    const bool opened = m_form->open();
    Settings& s = m_form->settings;
    QList<QWidget*> order;

    // Each field is bound once: it shows the form's value and writes back
    // whatever is typed or chosen.
    auto number = [&](Number field, const char* name, const QString& caption) {
        auto* e = captioned(new QLineEdit(m_form->number(field)), caption);
        e->setObjectName(QLatin1String(name));
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(110);
        connect(e, &QLineEdit::textEdited, this,
                [this, field](const QString& t) { m_form->setNumber(field, t); });
        m_numbers[int(field)] = e;
        order << e;
        return e;
    };
    auto numberRow = [&](QFormLayout* k, Number field, const char* name, const QString& caption) {
        k->addRow(caption, number(field, name, caption));
    };
    auto textRow = [&](QFormLayout* k, const char* name, const QString& caption,
                       QString Settings::*value) {
        QLineEdit* e = platform::ui::lineRow(k, name, caption);
        e->setMaxLength(255);
        e->setText(s.*value);
        connect(e, &QLineEdit::textEdited, this,
                [this, value](const QString& t) { m_form->settings.*value = t; });
        order << e;
        return e;
    };
    auto check = [&](const char* name, const QString& caption, bool Settings::*value,
                     const QString& spoken = {}) {
        auto* c = captioned(new QCheckBox(caption), spoken.isEmpty() ? caption : spoken);
        c->setObjectName(QLatin1String(name));
        c->setChecked(s.*value);
        connect(c, &QCheckBox::toggled, this,
                [this, value](bool on) { m_form->settings.*value = on; });
        return c;
    };
    auto options = [&](Group group, const char* name, const QString& title) {
        auto* box = new QGroupBox(title);
        box->setObjectName(QLatin1String(name));
        auto* v = new QVBoxLayout(box);
        auto* buttons = new QButtonGroup(box);
        const QList<SettingsForm::Option>& all = SettingsForm::options(group);
        for (int i = 0; i < all.size(); ++i) {
            auto* r = new QRadioButton(all[i].caption);
            r->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i + 1));
            r->setToolTip(all[i].tooltip);
            r->setAccessibleName(title + u' ' + all[i].caption);
            buttons->addButton(r, i);
            v->addWidget(r);
        }
        // A stored code that matches no option leaves them all unchosen.
        buttons->setExclusive(false);
        if (QAbstractButton* stored = buttons->button(m_form->chosen(group)))
            stored->setChecked(true);
        buttons->setExclusive(true);
        connect(buttons, &QButtonGroup::idClicked, this,
                [this, group](int i) { m_form->choose(group, i); });
        return box;
    };
    auto panel = [](const char* name, const QString& title) {
        auto* box = new QGroupBox(title);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    // Contract terms
    QGroupBox* terms = panel("Frame_terms", QStringLiteral("ข้อกำหนดสำหรับการขายฝาก"));
    auto* tk = new QFormLayout(terms);
    numberRow(tk, Number::ChumnumDuration, "txt_chumnum_duration", QStringLiteral("จำนวนวันรับฝาก"));
    tk->addRow(check("chk_dedug_fee", QStringLiteral("ดอกเบี้ยหัก ณ ที่จ่าย"), &Settings::dedugFee));
    numberRow(tk, Number::RelaxDay, "txt_relax_day", QStringLiteral("จำนวนวันยืดหยุ่น"));
    tk->addRow(check("chk_clear_employee", QStringLiteral("ลดดอกเบี้ยหากไถ่ถอนก่อนกำหนด"),
                     &Settings::clearEmployee));
    numberRow(tk, Number::MinInteres, "txt_MinInteres", QStringLiteral("ดอกเบี้ยขั้นต่ำ"));
    tk->addRow(options(Group::InterestDays, "opt_D_interes_rate",
                       QStringLiteral("การคิดจำนวนวันในการคำนวนดอก")));

    // Contracts
    QGroupBox* contracts = panel("Frame_sanya", QStringLiteral("สัญญาขายฝาก"));
    auto* ck = new QFormLayout(contracts);
    ck->addRow(options(Group::Ticket, "opt_sanya_cfg", QStringLiteral("การออกตั๋วขายฝาก")));
    ck->addRow(check("chk_sanya_copy", QStringLiteral("ต้นฉบับและสำเนา"), &Settings::sanyaCopy,
                     QStringLiteral("ตั๋วขายฝาก ต้นฉบับและสำเนา")));
    ck->addRow(check("chk_print_tag", QStringLiteral("พิมพ์ป้ายสินค้า"), &Settings::printTag,
                     QStringLiteral("พิมพ์ป้ายสินค้าเมื่อจัดเก็บสัญญาใหม่")));
    const auto [year, month] = SettingsForm::numberPrefix(QDate::currentDate());
    auto* runRow = new QHBoxLayout;
    auto* yearLabel = new QLabel(year);
    yearLabel->setObjectName(QStringLiteral("lblYear"));
    auto* monthLabel = new QLabel(month);
    monthLabel->setObjectName(QStringLiteral("lblMonth"));
    const QString runCaption = QStringLiteral("เลขที่สํญญา(รัน)");
    QLineEdit* run = number(Number::ChumnumRun, "txt_chumnum_run", runCaption);
    runRow->addWidget(yearLabel);
    runRow->addWidget(monthLabel);
    runRow->addWidget(run);
    runRow->addStretch(1);
    auto* runLabel = new QLabel(runCaption);
    runLabel->setBuddy(run);
    ck->addRow(runLabel, runRow);
    ck->addRow(options(Group::Autorun, "opt_chumnum_autorun", QStringLiteral("เลขที่สํญญาออกรายงาน")));
    textRow(ck, "txt_payan_one", QStringLiteral("พยาน1"), &Settings::payanOne);
    textRow(ck, "txt_payan_two", QStringLiteral("พยาน2"), &Settings::payanTwo);

    // Redemption and renewal
    QGroupBox* redemption = panel("Frame_tai", QStringLiteral("ไถ่ถอน"));
    auto* rv = new QVBoxLayout(redemption);
    rv->addWidget(
        options(Group::RedemptionReceipt, "opt_recvtai_cfg", QStringLiteral("การออกใบเสร็จ")));
    QGroupBox* renewal = panel("Frame_tor", QStringLiteral("ต่อดอก"));
    auto* nv = new QVBoxLayout(renewal);
    nv->addWidget(
        options(Group::RenewalReceipt, "opt_recvtor_cfg", QStringLiteral("การออกใบเสร็จ")));
    nv->addWidget(options(Group::RenewalDocument, "opt_tor_cfg", QStringLiteral("การออกใบต่อดอก")));
    nv->addWidget(check("chk_tor_copy", QStringLiteral("ต้นฉบับและสำเนา"), &Settings::torCopy,
                        QStringLiteral("ใบต่อดอก ต้นฉบับและสำเนา")));

    // Receipts
    QGroupBox* receipts = panel("Frame_recv", QStringLiteral("พิมพ์ใบเสร็จรับเงิน"));
    auto* pk = new QFormLayout(receipts);
    pk->addRow(
        check("chk_city_call", QStringLiteral("ต้นฉบับและสำเนา อยู่ในแผ่นเดียวกัน"), &Settings::cityCall));
    pk->addRow(check("chk_recv_copy", QStringLiteral("พิมพ์สำเนาใบเสร็จด้วย"), &Settings::recvCopy));
    pk->addRow(new QLabel(QStringLiteral("ใบเสร็จเลขที่(รัน)")));
    auto* prefix = captioned(new QLineEdit(s.preRecv), QStringLiteral("ใบเสร็จเลขที่ เลขนำ"));
    prefix->setObjectName(QStringLiteral("txt_Pre_Recv"));
    prefix->setMaxLength(20);
    prefix->setMaximumWidth(80);
    connect(prefix, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_form->settings.preRecv = t.trimmed(); });
    order << prefix;
    auto* recvRow = new QHBoxLayout;
    auto* prefixLabel = new QLabel(QStringLiteral("เลขนำ"));
    prefixLabel->setBuddy(prefix);
    recvRow->addWidget(prefixLabel);
    recvRow->addWidget(prefix);
    auto* runRecvLabel = new QLabel(QStringLiteral("รัน"));
    QLineEdit* runRecv = number(Number::RunRecv, "txt_run_recv", QStringLiteral("ใบเสร็จเลขที่ รัน"));
    runRecvLabel->setBuddy(runRecv);
    recvRow->addWidget(runRecvLabel);
    recvRow->addWidget(runRecv);
    recvRow->addStretch(1);
    pk->addRow(recvRow);
    numberRow(pk, Number::OffsetPrint, "txt_offset_print", QStringLiteral("ระยะ offset การพิมพ์"));
    pk->addRow(options(Group::PaperWidth, "opt_ReceptPrinterSize",
                       QStringLiteral("หน้ากระดาษสำหรับเครื่องพิมพ์ใบเสร็จย่อ")));

    // Cash drawer
    QGroupBox* drawer = panel("Frame_drawer", QStringLiteral("ลิ้นชักเงิน"));
    auto* dk = new QFormLayout(drawer);
    dk->addRow(check("chk_Com_Kon", QStringLiteral("มีลิ้นชักเงิน"), &Settings::comKon));
    QLineEdit* port = number(Number::Port, "txt_Run_Invoice", QStringLiteral("Port #"));
    port->setPlaceholderText(QStringLiteral("1-16"));
    port->setToolTip(QStringLiteral("ใส่เลข 1-16 ทดลองกดปุ่มทดสอบ"));
    QPushButton* test = platform::ui::button("cmdTest", QStringLiteral("ทดสอบ"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(port);
    portRow->addWidget(test);
    portRow->addStretch(1);
    auto* portLabel = new QLabel(QStringLiteral("Port #"));
    portLabel->setBuddy(port);
    dk->addRow(portLabel, portRow);
    QStringList known;
    const QList<platform::SerialDevice> ports = m_form->ports();
    for (qsizetype i = 0; i < ports.size() && i < 16; ++i)
        known << QStringLiteral("%1 = %2").arg(i + 1).arg(ports[i].name);
    auto* portList = new QLabel(known.isEmpty() ? QStringLiteral("ไม่พบพอร์ตอนุกรมในเครื่องนี้")
                                                : QStringLiteral("พอร์ตในเครื่องนี้: ") +
                                                      known.join(QStringLiteral(", ")));
    portList->setObjectName(QStringLiteral("lblPorts"));
    portList->setWordWrap(true);
    dk->addRow(portList);
    connect(test, &QPushButton::clicked, this, [this] { m_form->testDrawer(); });

    // Customer address template
    QGroupBox* address = panel("Frame_address", QStringLiteral("Template ที่อยู่ลูกค้า"));
    auto* ak = new QFormLayout(address);
    textRow(ak, "txt_street", QStringLiteral("ถนน"), &Settings::street);
    textRow(ak, "txt_tumbol", QStringLiteral("ตำบล"), &Settings::tumbol);
    textRow(ak, "txt_Ampur", QStringLiteral("อำเภอ"), &Settings::ampur);
    textRow(ak, "txt_province", QStringLiteral("จังหวัด"), &Settings::province);
    textRow(ak, "txt_zip", QStringLiteral("รหัสไปรษณีย์"), &Settings::zip)->setMaxLength(5);

    // Other
    QGroupBox* other = panel("Frame_other", QStringLiteral("อื่นๆ"));
    auto* ov = new QHBoxLayout(other);
    ov->addWidget(
        check("chk_Backup_alert", QStringLiteral("เตือนการสำรองข้อมูลทุก"), &Settings::backupAlert));
    ov->addWidget(number(Number::BackupDuration, "txt_Backup_duration",
                         QStringLiteral("เตือนการสำรองข้อมูลทุก กี่วัน")));
    ov->addWidget(new QLabel(QStringLiteral("วัน")));
    ov->addStretch(1);

    // The law's limits
    QGroupBox* legal = panel("Frame_legal", QStringLiteral("ข้อกำหนดตามกฎหมาย"));
    auto* lk = new QFormLayout(legal);
    lk->addRow(check("chk_legal_check", QStringLiteral("เตือนเมื่อเกินข้อกำหนดตามกฎหมาย"),
                     &Settings::legalCheck));
    numberRow(lk, Number::LegalCeiling, "txt_legal_ceiling", QStringLiteral("อัตราสูงสุด (% ต่อปี)"));
    numberRow(lk, Number::LegalYears, "txt_legal_years", QStringLiteral("ไถ่ถอนได้ไม่เกิน (ปี)"));
    numberRow(lk, Number::PayoffRows, "txt_payoff_rows",
              QStringLiteral("ตารางยอดไถ่ถอนบนตั๋ว (เดือน)"));

    QPushButton* save = platform::ui::button("cmdSave", QStringLiteral("จัดเก็บ"));
    QPushButton* exit = platform::ui::button("cmdExit", QStringLiteral("ออก"));
    save->setEnabled(opened);
    order << save;
    new platform::ui::EnterOrder(this, order);

    auto* columns = new QHBoxLayout;
    auto* first = new QVBoxLayout;
    first->addWidget(terms);
    first->addWidget(contracts);
    first->addStretch(1);
    auto* second = new QVBoxLayout;
    second->addWidget(redemption);
    second->addWidget(renewal);
    second->addWidget(receipts);
    second->addStretch(1);
    auto* third = new QVBoxLayout;
    third->addWidget(drawer);
    third->addWidget(address);
    third->addWidget(other);
    third->addWidget(legal);
    third->addStretch(1);
    columns->addLayout(first);
    columns->addLayout(second);
    columns->addLayout(third);
    auto* v = new QVBoxLayout(this);
    QScrollArea* area = platform::ui::scrolling(columns);
    v->addWidget(area, 1);
    v->addLayout(platform::ui::rightAligned({save, exit}));
    // As large as the fields want, but never beyond the screen.
    const QSize wanted = area->widget()->sizeHint() + QSize(40, 80);
    const QRect screen =
        this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(std::min(wanted.width(), screen.width() - 20),
           std::min(wanted.height(), screen.height() - 60));

    connect(save, &QPushButton::clicked, this, [this] {
        if (const auto refused = m_form->save()) {
            m_numbers[int(*refused)]->setFocus();
            m_numbers[int(*refused)]->selectAll();
            return;
        }
        close();
    });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

} // namespace tawela::admin
