#pragma once

#include "admin/staff.h"
#include "platform/prompt.h"

#include <optional>

namespace tawela::admin {

// "จัดระดับการเข้าถึงข้อมูล": the employees in code order, the shown one's
// code, name and rights, and Add / Save / Delete / Find. The password box is
// always empty: typing in it sets a new password (kept as a hash), an empty
// box keeps the old one. Rights take effect at the next sign-in.
class StaffForm {
public:
    enum class Mode { Edit, AddNew };
    enum class Field { Code, Name, Password, Tool };

    StaffForm(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt);

    // Reads the employees; the first is shown. False (said) when they cannot be read.
    bool open();
    const QList<Employee>& employees() const { return m_rows; }
    int current() const { return m_current; }
    void show(int row);

    // The fields as shown; `password` is only what was typed now.
    QString code, name, password;
    QString policy, card, tool, blacklist, bk, rs, sp1;
    bool admin = false;
    Mode mode = Mode::Edit;

    // The choices of each rights list, in the order shown.
    static QStringList threeWay(); // "ไม่อนุญาต", "อ่านอย่างเดียว", "อนุญาต"
    static QStringList twoWay(); // "ไม่อนุญาต", "อนุญาต"

    // "เพิ่ม": empty code, name and password; the rights stay as shown.
    void add();
    // "จัดเก็บ": the field to put the cursor on when refused (said why).
    std::optional<Field> save();
    // "ลบ" then "ใช่": false (said why) when it would leave nobody who can
    // reach this screen. True when the screen should close (no one left).
    bool removeCurrent(bool* closeScreen = nullptr);
    // "Find" (from the first) and "Next": by part of the code (key 0) or
    // of the name (key 1); "Not found" when none.
    bool find(int key, const QString& text);
    bool findNext(int key, const QString& text);
    // "รูปภาพ" and "รายงาน"
    void notYetAllowed();

private:
    Employee shown() const;
    bool findFrom(int start, int key, const QString& text);
    // Somebody left who may open the tools menu, with the rows as they would be.
    static bool someoneManages(const QList<Employee>& rows);

    std::shared_ptr<platform::db::Database> m_main;
    platform::Prompt& m_prompt;
    StaffStore m_store;
    QList<Employee> m_rows;
    int m_current = -1;
};

} // namespace tawela::admin
