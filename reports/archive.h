#pragma once

#include "platform/db/database.h"
#include "platform/prompt.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tawela::reports {

// Closed contracts moved out of the main database into the archive, and
// back. A contract always moves with its renewal rows in one transaction
// over both databases (the archive attached to the main connection, or the
// archive's schema on the same server), so a failure leaves every contract
// whole in one place; receipts and expenses stay in the main database.
class ContractArchive {
public:
    enum class Direction { ToArchive, Back };
    // Contracts per transaction: each one is whole, and a long move is not
    // one transaction that holds the other counters up for minutes.
    static constexpr int BatchSize = 500;

    ContractArchive(std::shared_ptr<platform::db::Database> main,
                    std::shared_ptr<platform::db::Database> archive, int batchSize = BatchSize);

    // The numbers a move may take, in the order they were written: the
    // closed contracts of the main database, or every archived contract.
    // Throws DbError.
    QStringList movable(Direction direction) const;
    // Those of the numbers that the target database already holds (a move
    // would make them twice). Throws DbError.
    QStringList alreadyThere(Direction direction, const QStringList& numbers) const;

    struct Result {
        int moved = 0;
        QString failure; // empty when everything went
    };
    // Moves the contracts, in the order given. A number the target holds,
    // or that is no longer in the source (or, going to the archive, is open
    // again), is left where it is. The first failure stops the move; what
    // was moved until then stays moved. `progress` hears the count moved.
    Result move(Direction direction, const QStringList& numbers,
                const std::function<void(int moved)>& progress = {}) const;

private:
    struct Names {
        QString source, target; // schema prefixes, "main." or "\"shop_archive\"."
    };
    // Makes both databases reachable from the main connection; throws DbError.
    Names bridge(Direction direction) const;
    void unbridge() const;

    std::shared_ptr<platform::db::Database> m_main, m_archive;
    int m_batch;
};

// "ย้ายสัญญาที่ปิดแล้ว เข้าเก็บ" and "ย้ายสัญญาที่ปิดแล้วกลับมา": the numbers
// a move may take, those chosen, and the move with its messages.
class ArchiveMoveForm {
public:
    using Direction = ContractArchive::Direction;
    ArchiveMoveForm(ContractArchive archive, Direction direction, platform::Prompt& prompt);

    Direction direction() const { return m_direction; }
    QString title() const;
    QString sourceCaption() const;
    QString chosenCaption() const;
    QString moveCaption() const; // "จัดเก็บ" or "ย้ายเข้าเก็บ"

    // Reads the source list again (the chosen list is emptied); false (said
    // why) when it cannot be read.
    bool open();
    QStringList source, chosen;
    // "Select": the source entries at these rows join the end of the chosen
    // list; "Return": the chosen ones go back to the end of the source list.
    void select(const QList<int>& rows);
    void giveBack(const QList<int>& rows);

    // The move; true when it finished and the screen closes. Numbers the
    // target holds already are named and, when the person goes on, left
    // where they are. A failure says how many were moved and keeps the
    // screen open on what is left.
    bool move(const std::function<void(int moved)>& progress = {});

private:
    ContractArchive m_archive;
    Direction m_direction;
    platform::Prompt& m_prompt;
};

} // namespace tawela::reports
