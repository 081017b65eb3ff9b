#pragma once

#include "contracts/contract.h"
#include "platform/db/recordset.h"
#include "platform/prompt.h"

#include <memory>
#include <optional>

namespace tawela::contracts {

// The contract screen's list: the status filter, the search key and value,
// search and "หาถัดไป", over the contract set (highest number first).
//
// Nothing is read ahead: a search asks the database for the first match in
// set order, "หาถัดไป" for the first one after the contract shown. So a
// save, a new contract or another filter or key costs nothing here, and
// what is found is always what is stored now.
class ContractList {
public:
    enum class Key { PolicyNo, KuId, KuName, RefNo };

    // "เลขที่สัญญา", "เลขที่บัตรประชาชน", "ชื่อ นามสกุล", "เลขที่สัญญากำหนดเอง"
    static QStringList keyTexts();
    static QString columnOf(Key key);

    ContractList(std::shared_ptr<platform::db::Database> main, platform::Prompt& prompt);

    // Another filter or key: "หาถัดไป" starts again from a new search.
    void chooseFilter(ContractFilter filter);
    void chooseKey(Key key);
    ContractFilter filter() const { return m_filter; }
    Key key() const { return m_key; }
    // "หาถัดไป" is shown for every key but the contract number.
    bool findNextVisible() const { return m_key != Key::PolicyNo; }

    // The distinct non-empty values of the key in the set that begin with the
    // prefix, in order, at most limit of them: the value box completes as the
    // person types instead of holding every value of a large shop.
    QStringList values(const QString& prefix = QString(), int limit = 200) const;

    // Searches from the first row; "ไม่พบสัญญาที่หา" when nothing matches.
    std::optional<Contract> search(const QString& value,
                                   const QString& notFound = QStringLiteral("ไม่พบสัญญาที่หา"));
    // The next match; "End of File" once the set is past its last row.
    std::optional<Contract> findNext();

    QString lastSearchValue() const { return m_lastValue; }

private:
    // "หาถัดไป" says "End of File" until the next search.
    void forgetSearch();
    // The first contract of the set (highest number first) that meets the
    // condition; remembers where it stands for the next "หาถัดไป".
    std::optional<Contract> first(const platform::db::Condition& where);

    std::shared_ptr<platform::db::Database> m_db;
    platform::Prompt& m_prompt;
    ContractFilter m_filter = ContractFilter::Open;
    Key m_key = Key::PolicyNo;
    platform::db::Condition m_criterion;
    QString m_lastValue;
    QString m_at;       // the number of the match shown
    bool m_past = true; // no match after it: the next press says "End of File"
};

} // namespace tawela::contracts
