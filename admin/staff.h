#pragma once

#include "platform/db/database.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace tawela::admin {

// An employee's right on one area of the program.
enum class Right { Allowed, NotAllowed, ReadOnly };

// "อนุญาต", "ไม่อนุญาต", "อ่านอย่างเดียว" compared exactly; any other text,
// the empty text included, behaves as allowed.
Right rightFromText(const QString& text);
QString rightText(Right right);

// One row of employee. Rights are kept as stored, so that a text written by
// an older program survives a save unchanged.
struct Employee {
    QString code;     // EN
    QString name;     // E_name
    QString password; // PWD: a hash, or plain text left by older data
    QString policy, card, tool, blacklist, bk, rs, sp1;
    bool admin = false;

    Right policyRight() const { return rightFromText(policy); }
    Right cardRight() const { return rightFromText(card); }
    Right toolRight() const { return rightFromText(tool); }
    Right blacklistRight() const { return rightFromText(blacklist); }
    Right bkRight() const { return rightFromText(bk); }
};

class StaffStore {
public:
    explicit StaffStore(std::shared_ptr<platform::db::Database> main) : m_db(std::move(main)) {}

    // By employee code; letter case does not count, as with every text key.
    std::optional<Employee> find(const QString& code) const;
    QList<Employee> all() const;
    // Throws DbError (duplicate key) for a code that is taken.
    void add(const Employee& employee);
    // Rewrites the row of employee.code; false when there is none.
    bool update(const Employee& employee);
    bool remove(const QString& code);

private:
    std::shared_ptr<platform::db::Database> m_db;
};

} // namespace tawela::admin
