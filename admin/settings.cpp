#include "admin/settings.h"

#include "platform/db/column_map.h"
#include "platform/db/db_error.h"

namespace tawela::admin {

using platform::db::DbError;
using platform::db::Recordset;

InterestMode interestModeFromText(const QString& text)
{
    if (text == QStringLiteral("จริง"))
        return InterestMode::ActualDays;
    if (text == QStringLiteral("ช่วง"))
        return InterestMode::Steps;
    return InterestMode::NotUsed;
}

namespace {

// One list of column <-> member pairs serves both directions.
template <typename Row, typename S> void mapColumns(Row& row, S& s)
{
    row.text(QStringLiteral("company_name"), s.companyName);
    row.text(QStringLiteral("address1"), s.address1);
    row.text(QStringLiteral("address2"), s.address2);
    row.text(QStringLiteral("address3"), s.address3);
    row.text(QStringLiteral("Tel"), s.tel);
    row.text(QStringLiteral("Fax"), s.fax);
    row.text(QStringLiteral("Tax_no"), s.taxNo);
    row.text(QStringLiteral("street"), s.street);
    row.text(QStringLiteral("tumbol"), s.tumbol);
    row.text(QStringLiteral("Ampur"), s.ampur);
    row.text(QStringLiteral("province"), s.province);
    row.text(QStringLiteral("zip"), s.zip);
    row.integer(QStringLiteral("chumnum_run"), s.chumnumRun);
    row.boolean(QStringLiteral("chumnum_autorun"), s.chumnumAutorun);
    row.integer(QStringLiteral("chumnum_duration"), s.chumnumDuration);
    row.boolean(QStringLiteral("dedug_fee"), s.dedugFee);
    row.integer(QStringLiteral("relax_day"), s.relaxDay);
    row.boolean(QStringLiteral("clear_employee"), s.clearEmployee);
    row.decimal(QStringLiteral("MinInteres"), s.minInteres);
    row.text(QStringLiteral("D_interes_rate"), s.dInteresRate);
    row.text(QStringLiteral("payan_one"), s.payanOne);
    row.text(QStringLiteral("payan_two"), s.payanTwo);
    row.text(QStringLiteral("sanya_cfg"), s.sanyaCfg);
    row.boolean(QStringLiteral("sanya_copy"), s.sanyaCopy);
    row.text(QStringLiteral("tor_cfg"), s.torCfg);
    row.boolean(QStringLiteral("tor_copy"), s.torCopy);
    row.text(QStringLiteral("recvtor_cfg"), s.recvtorCfg);
    row.text(QStringLiteral("recvtai_cfg"), s.recvtaiCfg);
    row.boolean(QStringLiteral("recv_copy"), s.recvCopy);
    row.boolean(QStringLiteral("city_call"), s.cityCall);
    row.text(QStringLiteral("Pre_Recv"), s.preRecv);
    row.integer(QStringLiteral("run_recv"), s.runRecv);
    row.integer(QStringLiteral("offset_print"), s.offsetPrint);
    row.integer(QStringLiteral("ReceptPrinterSize"), s.receptPrinterSize);
    row.boolean(QStringLiteral("Com_Kon"), s.comKon);
    row.integer(QStringLiteral("Run_Invoice"), s.runInvoice);
    row.boolean(QStringLiteral("use_login"), s.useLogin);
    row.boolean(QStringLiteral("Backup_alert"), s.backupAlert);
    row.integer(QStringLiteral("Backup_duration"), s.backupDuration);
    row.date(QStringLiteral("backup_date"), s.backupDate);
    row.text(QStringLiteral("backup_path"), s.backupPath);
    row.boolean(QStringLiteral("legal_check"), s.legalCheck);
    row.decimal(QStringLiteral("legal_ceiling"), s.legalCeiling);
    row.integer(QStringLiteral("legal_years"), s.legalYears);
    row.integer(QStringLiteral("payoff_rows"), s.payoffRows);
    row.boolean(QStringLiteral("print_tag"), s.printTag);
}

} // namespace

Recordset settingsRecord(const std::shared_ptr<platform::db::Database>& main)
{
    Recordset rs(main, QStringLiteral("config_setting"));
    if (rs.isEmpty())
        throw DbError(platform::db::error_number::NoCurrentRecord,
                      QStringLiteral("ไม่พบแถวค่ากำหนดของร้าน (config_setting)"));
    return rs;
}

Settings readSettings(const Recordset& row)
{
    Settings s;
    platform::db::RowReader reader{row};
    mapColumns(reader, s);
    return s;
}

void writeSettings(Recordset& row, const Settings& settings)
{
    platform::db::RowWriter writer{row, false, nullptr, true};
    mapColumns(writer, settings);
}

Settings loadSettings(const std::shared_ptr<platform::db::Database>& main)
{
    return readSettings(settingsRecord(main));
}

void saveSettings(const std::shared_ptr<platform::db::Database>& main, const Settings& settings,
                  const QSet<QString>& columns)
{
    Recordset rs = settingsRecord(main);
    platform::db::RowWriter writer{rs, false, &columns};
    mapColumns(writer, settings);
    rs.store();
}

void saveSettings(const std::shared_ptr<platform::db::Database>& main, const Settings& settings)
{
    Recordset rs = settingsRecord(main);
    platform::db::RowWriter writer{rs};
    mapColumns(writer, settings);
    rs.store();
}

} // namespace tawela::admin
