// Opens contracts in a loop, as a busy counter would: used by the tests to
// run two copies of the program against one database at the same moment.
//   contract_writer DB COUNT NAME
#include "contracts/contract_store.h"
#include "platform/db/db_error.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tawela;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    try {
        auto db = platform::db::Database::open(QString::fromLocal8Bit(argv[1]),
                                               platform::db::OpenMode::ExistingOnly);
        contracts::ContractStore store(db);
        const int count = QString::fromLatin1(argv[2]).toInt();
        const QString name = QString::fromLocal8Bit(argv[3]);
        for (int i = 0; i < count; ++i) {
            contracts::SaveRequest r;
            r.isNew = true;
            r.mode = contracts::OperationMode::NewContract;
            r.startedOn = QDate(2026, 12, 9);
            r.startedWithRun = store.currentRun();
            r.contract.policyNo = contracts::contractNumber(r.startedOn, r.startedWithRun);
            r.contract.refNo = r.contract.policyNo;
            r.contract.kuName = name + QString::number(i);
            r.contract.amount1 = platform::Decimal::fromInt(1000 + i);
            r.contract.amount3 = r.contract.amount1;
            r.contract.amount2 = r.contract.amount1;
            r.employeeName = name;
            const auto saved = store.save(r);
            if (i % 10 == 0) {
                contracts::SaveRequest renew;
                renew.contract = *store.find(saved.policyNo);
                renew.mode = contracts::OperationMode::Renewal;
                renew.receiptTotal = platform::Decimal::fromInt(50);
                renew.employeeName = name;
                store.save(renew);
            }
        }
    } catch (const platform::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
