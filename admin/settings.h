#pragma once

#include "platform/db/database.h"
#include "platform/db/recordset.h"
#include "platform/decimal.h"

#include <QDate>
#include <QSet>
#include <QString>

#include <memory>

namespace tawela::admin {

// How days count in the interest of a contract.
enum class InterestMode {
    ActualDays, // "จริง"
    Steps,      // "ช่วง": days in the steps of the rate table
    NotUsed,    // "ไม่ใช้" and any other text: one month's interest
};

InterestMode interestModeFromText(const QString& text);

// The one row of config_setting in the main database.
struct Settings {
    // shop
    QString companyName, address1, address2, address3, tel, fax, taxNo;
    // shop address template
    QString street, tumbol, ampur, province, zip;
    // contracts
    qint64 chumnumRun = 1;
    bool chumnumAutorun = true;
    qint64 chumnumDuration = 30;
    bool dedugFee = false;
    qint64 relaxDay = 0;
    bool clearEmployee = false;
    platform::Decimal minInteres;
    QString dInteresRate; // as stored; see interestMode()
    QString payanOne, payanTwo;
    // documents and receipts
    QString sanyaCfg, torCfg, recvtorCfg, recvtaiCfg;
    bool sanyaCopy = false, torCopy = false, recvCopy = false, cityCall = false;
    QString preRecv;
    qint64 runRecv = 1;
    qint64 offsetPrint = 0;
    qint64 receptPrinterSize = 58;
    // cash drawer
    bool comKon = false;
    qint64 runInvoice = 1;
    // sign-in and backup
    bool useLogin = false;
    bool backupAlert = false;
    qint64 backupDuration = 0;
    QDate backupDate;
    QString backupPath;
    // the law's limits: a warning when a contract asks more than the yearly
    // ceiling over the price, or runs past the years allowed for movables
    bool legalCheck = true;
    platform::Decimal legalCeiling = platform::Decimal::fromInt(15); // percent a year
    qint64 legalYears = 3;
    qint64 payoffRows = 3; // month-ends after the due date in a ticket's payoff table
    bool printTag = false; // a goods tag at a new contract's save

    InterestMode interestMode() const { return interestModeFromText(dInteresRate); }
};

// The config_setting row as a record set positioned on it, for writers of
// single columns (the running numbers). Throws DbError when there is no row.
platform::db::Recordset settingsRecord(const std::shared_ptr<platform::db::Database>& main);

// The settings of a config_setting row already read (and maybe locked), and
// every column of it written back (stored by the caller): the running
// numbers raised inside the transaction that locked the row.
Settings readSettings(const platform::db::Recordset& row);
void writeSettings(platform::db::Recordset& row, const Settings& settings);

// Reads the first row of config_setting. Throws DbError when the table is
// missing or has no row.
Settings loadSettings(const std::shared_ptr<platform::db::Database>& main);

// Writes every column of the row (the settings screen's store).
void saveSettings(const std::shared_ptr<platform::db::Database>& main, const Settings& settings);
// Writes only the named columns (a screen's own), leaving the others as the
// other screens and the running counters last stored them.
void saveSettings(const std::shared_ptr<platform::db::Database>& main, const Settings& settings,
                  const QSet<QString>& columns);

} // namespace tawela::admin
