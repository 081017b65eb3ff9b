#pragma once

#include "admin/staff.h"

#include <QString>

namespace tawela::admin {

// Who is signed in and what they may use; filled once at sign-in.
struct Session {
    QString policy, card, tool, blacklist, bk; // rights as stored ("" when none)
    QString sp1;                               // "Restore"
    QString employeeName;                      // written on receipts; empty unless use_login is on
    QString employeeCode;
    bool idCardReaderEnabled = false;
    QString fakeProductText;

    Right policyRight() const { return rightFromText(policy); }
    Right cardRight() const { return rightFromText(card); }
    Right toolRight() const { return rightFromText(tool); }
    Right blacklistRight() const { return rightFromText(blacklist); }
    Right bkRight() const { return rightFromText(bk); }
    // Restoring a backup replaces the shop's data: only an explicit
    // "อนุญาต" allows it (elsewhere an empty right counts as allowed).
    bool mayRestore() const { return sp1 == rightText(Right::Allowed); }
};

} // namespace tawela::admin
