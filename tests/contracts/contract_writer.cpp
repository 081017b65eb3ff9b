// Opens or renews contracts in a loop, as a busy counter would: used by the
// tests to run several copies of the program against one database at once.
//   contract_writer DB COUNT NAME            opens COUNT contracts
//   contract_writer DB COUNT NAME POLICY_NO  renews that contract COUNT times
// A renewal refused because the other copy changed the contract first is
// read again and tried again, as staff would after the message; the number
// of renewals stored is printed on standard output.
#include "contracts/contract_store.h"
#include "platform/db/db_error.h"
#include "test_server.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tawela;
using platform::Decimal;

namespace {

void openContracts(contracts::ContractStore& store, int count, const QString& name)
{
    for (int i = 0; i < count; ++i) {
        contracts::SaveRequest r;
        r.isNew = true;
        r.mode = contracts::OperationMode::NewContract;
        r.startedOn = QDate(2026, 12, 9);
        r.startedWithRun = store.currentRun();
        r.contract.policyNo = contracts::contractNumber(r.startedOn, r.startedWithRun);
        r.contract.refNo = r.contract.policyNo;
        r.contract.kuName = name + QString::number(i);
        r.contract.principal = Decimal::fromInt(1000 + i);
        r.contract.payout = r.contract.principal;
        r.contract.redemption = r.contract.principal;
        r.employeeName = name;
        auto saved = store.save(r);
        // The other copy took the number: the new one is shown, saved again.
        while (!saved.renumberedTo.isEmpty()) {
            r.contract.policyNo = r.contract.refNo = saved.renumberedTo;
            r.startedWithRun = saved.renumberedRun;
            saved = store.save(r);
        }
        // Each renewed once, with a receipt.
        contracts::SaveRequest renew;
        renew.contract = *store.find(saved.policyNo);
        renew.mode = contracts::OperationMode::Renewal;
        renew.receiptTotal = Decimal::fromInt(50);
        renew.employeeName = name;
        store.save(renew);
    }
}

int renewContract(contracts::ContractStore& store, int count, const QString& policyNo)
{
    int stored = 0;
    while (stored < count) {
        contracts::SaveRequest renew;
        renew.contract = *store.find(policyNo);
        renew.lines = store.renewalLines(policyNo);
        contracts::RenewalLine l;
        l.lineNo = renew.lines.size() + 1;
        l.total = Decimal::fromInt(100);
        renew.lines << l;
        renew.mode = contracts::OperationMode::Renewal;
        renew.receiptTotal = l.total;
        try {
            store.save(renew);
            ++stored;
        } catch (const platform::db::DbError& e) {
            if (e.number() != platform::db::error_number::ChangedElsewhere)
                throw;
        }
    }
    return stored;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4 && argc != 5)
        return 2;
    try {
        auto db = test::openAddress(QString::fromLocal8Bit(argv[1]));
        contracts::ContractStore store(db);
        const int count = QString::fromLatin1(argv[2]).toInt();
        const QString name = QString::fromLocal8Bit(argv[3]);
        if (argc == 5)
            std::printf("%d\n", renewContract(store, count, QString::fromLocal8Bit(argv[4])));
        else
            openContracts(store, count, name);
    } catch (const platform::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
