#pragma once

#include "admin/settings.h"
#include "platform/prompt.h"
#include "platform/serial_port.h"

#include <array>
#include <functional>
#include <optional>

namespace tawela::admin {

// "ปรับแต่งค่าเริ่มต้น": the shop's settings row as the settings screen edits
// it. Check boxes and texts edit `settings` directly; number fields are
// kept as typed and checked on "จัดเก็บ"; option groups write their codes.
class SettingsForm {
public:
    // The number fields, in the screen's order.
    enum class Number {
        ChumnumDuration, // "จำนวนวันรับฝาก"
        RelaxDay,        // "จำนวนวันยืดหยุ่น"
        MinInteres,      // "ดอกเบี้ยขั้นต่ำ"
        ChumnumRun,      // "เลขที่สํญญา(รัน)"
        RunRecv,         // "ใบเสร็จเลขที่(รัน)"
        OffsetPrint,     // "ระยะ offset การพิมพ์"
        Port,            // "Port #"
        BackupDuration, // "เตือนการสำรองข้อมูลทุก … วัน"
        LegalCeiling, // "อัตราสูงสุดต่อปี"
        LegalYears,   // "ไถ่ถอนได้ไม่เกิน … ปี"
        PayoffRows,   // "ตารางยอดไถ่ถอน … เดือน"
    };
    static constexpr int NumberCount = 11;

    // The option groups, each writing the code of the option chosen.
    enum class Group {
        InterestDays,      // D_interes_rate
        Ticket,            // sanya_cfg
        Autorun,           // chumnum_autorun
        RedemptionReceipt, // recvtai_cfg
        RenewalReceipt,    // recvtor_cfg
        RenewalDocument,   // tor_cfg
        PaperWidth,        // ReceptPrinterSize
    };
    static constexpr int GroupCount = 7;
    struct Option {
        QString caption, code, tooltip;
    };
    static const QList<Option>& options(Group group);

    using PortLister = std::function<QList<platform::SerialDevice>()>;
    SettingsForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt,
                 PortLister ports = platform::serialDevices);

    // Reads the row and selects each group's option by its stored code (the
    // interest days and the automatic numbering always select one). False
    // (said) when the row cannot be read.
    bool open();

    Settings settings;
    QString number(Number field) const { return m_numbers[int(field)]; }
    void setNumber(Number field, const QString& text) { m_numbers[int(field)] = text; }

    // The option whose code is stored, or -1 when none matches.
    int chosen(Group group) const;
    void choose(Group group, int option);

    // What the contract numbers of `day` start with: the Buddhist-era year's
    // last two digits and the month as "-01- 4-".
    static std::pair<QString, QString> numberPrefix(const QDate& day);

    // "จัดเก็บ": every field checked, then the row stored in one go. The field
    // to put the cursor on when refused (said why); nullopt when stored.
    // The running numbers are stored only when changed here, so the numbers
    // other counters took meanwhile are never set back.
    std::optional<Number> save(const QDate& today = QDate::currentDate());

    // "ทดสอบ": opens the cash drawer on the port numbered in "Port #". The
    // serial ports of this computer, as the hint beside the field shows them.
    QList<platform::SerialDevice> ports() const { return m_ports(); }
    bool testDrawer();

    // The contract and receipt numbers may go into an archive of closed contracts too.
    void useArchive(std::shared_ptr<platform::db::Database> archive)
    {
        m_archive = std::move(archive);
    }

private:
    QString code(Group group) const;
    void setCode(Group group, const QString& code);
    std::optional<Number> refuse(Number field, const QString& why);
    qint64 highestContractRun(const QDate& today) const;
    qint64 highestReceiptRun(const QString& prefix) const;

    std::shared_ptr<platform::db::Database> m_main, m_archive;
    platform::Prompt& m_prompt;
    PortLister m_ports;
    std::array<QString, NumberCount> m_numbers;
    qint64 m_openedRun = 0, m_openedRecv = 0;
};

} // namespace tawela::admin
