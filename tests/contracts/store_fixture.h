#pragma once

// The contract store's tests share one shop: its settings, a new contract as
// the screen hands it over, and every row the save touches as text.
#include "admin/settings.h"
#include "contracts/contract_store.h"
#include "shop_builder.h"
#include "temp_home.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using test::d;

class ContractStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        admin::Settings s = admin::loadSettings(t.db);
        s.companyName = QStringLiteral("ร้าน'ทองดี");
        s.address1 = QStringLiteral("1 ถนนสุขุมวิท");
        s.tel = QStringLiteral("02-123-4567");
        s.taxNo = QStringLiteral("0105551234567");
        s.chumnumRun = 12;
        admin::saveSettings(t.db, s);
    }

    // A new contract as the screen hands it to the save.
    SaveRequest newContract(const QDate& started = QDate(2025, 5, 14))
    {
        SaveRequest r;
        r.isNew = true;
        r.mode = OperationMode::NewContract;
        r.startedOn = started;
        r.startedWithRun = store.currentRun();
        Contract& c = r.contract;
        c.policyNo = contractNumber(started, r.startedWithRun);
        c.refNo = c.policyNo;
        c.tableNo = QStringLiteral("1");
        c.principal = d("10000");
        c.rate = d("1.25");
        c.interest = d("375");
        c.payout = d("10000");
        c.redemption = d("10375");
        c.contractDate = QDate(2025, 5, 14);
        c.days = 90;
        c.dueDate = QDate(2025, 8, 12);
        c.kuCode = QStringLiteral("C'01");
        c.kuName = QStringLiteral("นายสมชาย O'Neil");
        c.kuAddress = QStringLiteral("9 หมู่ 2");
        c.object = QStringLiteral("ทองคำ");
        c.model = QStringLiteral("สร้อยคอทองคำ 1 บาท");
        c.sn = QStringLiteral("SN-1");
        r.employeeName = QStringLiteral("สมศรี");
        r.fakeProductText = QStringLiteral("n/a");
        r.now = QDateTime(QDate(2025, 5, 14), QTime(10, 30, 0));
        return r;
    }

    // A renewal of a stored contract: one line of 375 baht, collected.
    SaveRequest renewalOf(const QString& policyNo)
    {
        SaveRequest renew;
        renew.contract = *store.find(policyNo);
        renew.mode = OperationMode::Renewal;
        RenewalLine l;
        l.lineNo = 1;
        l.total = d("375");
        renew.lines = {l};
        renew.receiptTotal = l.total;
        return renew;
    }

    qint64 scalar(const QString& sql, const QVariantList& binds = {})
    {
        return t.db->scalar(sql, binds).toLongLong();
    }

    // Every row of every table the save touches, as text.
    QString dump()
    {
        QString out;
        for (const char* table :
             {"chumnum", "chumnum_tor", "service", "spending", "config_setting"}) {
            QSqlQuery q = t.db->exec(QStringLiteral("SELECT * FROM ") + QLatin1String(table) +
                                     QStringLiteral(" ORDER BY rowid"));
            while (q.next())
                for (int i = 0; i < q.record().count(); ++i)
                    out += q.value(i).toString() + u'|';
            out += u'\n';
        }
        return out;
    }

    test::TempDatabase t{app::DatabaseRole::Main};
    ContractStore store{t.db};
};
