#include "customers/customer_store.h"

#include "platform/db/transaction.h"
#include "text/thai_text.h"

#include <QSqlQuery>

#include <optional>

namespace tawela::customers {

using platform::db::Condition;
using platform::db::quoteName;
using platform::db::Recordset;
using platform::db::Transaction;

namespace {

const QString Table = QStringLiteral("customer");

} // namespace

CustomerStore::CustomerStore(std::shared_ptr<platform::db::Database> customer)
    : m_db(std::move(customer))
{}

Recordset CustomerStore::open(const Opening& opening) const
{
    Condition where;
    switch (opening.mode) {
    case OpeningMode::All:
    case OpeningMode::Pick:
        break;
    case OpeningMode::ContractCustomer:
    case OpeningMode::ByCode:
        where = Condition::equals(QStringLiteral("C_code"), opening.value);
        break;
    case OpeningMode::ById:
        where = Condition::equals(QStringLiteral("C_ID"), opening.value);
        break;
    case OpeningMode::ByName:
        where = Condition::equals(QStringLiteral("C_name"), opening.value);
        break;
    }
    return Recordset(m_db, Table, where, {{QStringLiteral("C_code"), true, true}});
}

Recordset CustomerStore::filtered(const Condition& where) const
{
    return Recordset(m_db, Table, where, {{QStringLiteral("C_code"), true, true}});
}

QStringList CustomerStore::values(const QString& column, const QString& prefix, int limit) const
{
    const platform::db::TableInfo& info = m_db->tableInfo(Table);
    const platform::db::ColumnInfo& c = info.column(column);
    const QString name = quoteName(c.name);
    QString candidates = QStringLiteral("SELECT DISTINCT ") + name +
                         QStringLiteral(" FROM customer WHERE ") + name +
                         QStringLiteral(" IS NOT NULL");
    QVariantList binds;
    const bool text = c.kind == platform::db::ColumnKind::Text;
    if (text && !prefix.isEmpty()) {
        QString match;
        Condition::like(c.name, prefix + u'*').compile(info, match, binds);
        candidates += QStringLiteral(" AND ") + match;
    }
    const platform::db::Dialect& d = m_db->dialect();
    candidates += QStringLiteral(" ORDER BY ") + name + QStringLiteral(" LIMIT ?");
    QString sql = candidates;
    if (text) {
        sql = d.inThaiOrder(candidates, {name});
        binds << std::max(limit, d.Candidates);
    }
    binds << limit;
    QStringList out;
    for (QSqlQuery q = m_db->exec(sql, binds); q.next();) {
        const QString shown = shownText(platform::db::fromStorage(c.kind, q.value(0)));
        if (!shown.isEmpty())
            out << shown;
    }
    return out;
}

std::optional<Customer> CustomerStore::first(const Condition& where) const
{
    Recordset rs(m_db, Table, where);
    if (rs.isEmpty())
        return std::nullopt;
    rs.moveFirst();
    return readCustomer(rs);
}

std::optional<Customer> CustomerStore::byCode(const QString& code) const
{
    return first(Condition::equals(QStringLiteral("C_code"), code));
}

std::optional<Customer> CustomerStore::byIdNumber(const QString& idNumber) const
{
    return first(Condition::equals(QStringLiteral("C_ID"), idNumber));
}

QString CustomerStore::listName(const QString& name, const QString& sname)
{
    return sname.isEmpty() ? name : name + u' ' + sname;
}

std::optional<Customer> CustomerStore::byFullName(const QString& fullName) const
{
    if (fullName.isEmpty())
        return std::nullopt;
    const QString name = QStringLiteral("C_name");
    const QString sname = QStringLiteral("C_Sname");
    // A given name may hold spaces itself: every space can be the one
    // between the two names. Each guess is an indexed equality.
    Condition where = Condition::equals(name, fullName) &&
                      (Condition::isNull(sname) || Condition::equals(sname, QString()));
    for (qsizetype at = fullName.indexOf(u' '); at >= 0; at = fullName.indexOf(u' ', at + 1))
        where = where || (Condition::equals(name, fullName.left(at)) &&
                          Condition::equals(sname, fullName.mid(at + 1)));
    return first(where);
}

QStringList CustomerStore::names(const QString& prefix, int limit) const
{
    const platform::db::Dialect& d = m_db->dialect();
    QString candidates = QStringLiteral("SELECT C_name, C_Sname FROM customer WHERE C_name <> ''");
    QVariantList binds;
    if (!prefix.isEmpty()) {
        QString match;
        Condition::like(QStringLiteral("C_name"), prefix + u'*')
            .compile(m_db->tableInfo(Table), match, binds);
        candidates += QStringLiteral(" AND ") + match;
    }
    candidates += QStringLiteral(" ORDER BY C_name, C_Sname LIMIT ?");
    binds << std::max(limit, d.Candidates) << limit;
    QStringList out;
    for (QSqlQuery q = m_db->exec(
             d.inThaiOrder(candidates, {QStringLiteral("C_name"), QStringLiteral("C_Sname")}),
             binds);
         q.next();)
        out << listName(q.value(0).toString(), q.value(1).toString());
    return out;
}

Customer CustomerStore::addBare(Customer customer, Recordset* into)
{
    refuseTooLong(customer);
    Transaction t(*m_db);
    std::optional<Recordset> own;
    if (!into)
        into = &own.emplace(m_db, Table, Condition::equals(QStringLiteral("ID"), -1));
    Recordset& rs = *into;
    rs.addNew();
    const bool ownCode = customer.code.isEmpty();
    customer.cityCall = false;
    customer.user4.reset(); // no number typed yet
    writeCustomer(rs, customer);
    rs.store();
    customer.id = readCustomer(rs).id;
    if (ownCode) {
        customer.code = ownCodeOf(customer.id);
        writeCustomerChanges(rs, customer);
        rs.store();
    }
    t.commit();
    return customer;
}

QString CustomerStore::ownCodeOf(qint64 id) const
{
    const QString code = QString::number(id);
    if (!codeTaken(code, id))
        return code;
    // A customer typed this number as their code: one above the highest
    // number used as a code.
    const QString highest =
        QStringLiteral("SELECT max(CAST(C_code AS BIGINT)) FROM customer WHERE ") +
        m_db->dialect().digitsOnly(QStringLiteral("C_code")) +
        QStringLiteral(" AND length(C_code) <= 18");
    return QString::number(std::max(id, m_db->scalar(highest).toLongLong()) + 1);
}

bool CustomerStore::taken(const char* column, const QString& value, qint64 exceptId) const
{
    return m_db
        ->scalar(QStringLiteral("SELECT 1 FROM customer WHERE ") + QLatin1String(column) +
                     QStringLiteral(" = ? AND ID <> ? LIMIT 1"),
                 {value, exceptId})
        .isValid();
}

std::optional<qint64> CustomerStore::storedVersion(qint64 id) const
{
    const QVariant v =
        m_db->scalar(QStringLiteral("SELECT coalesce(row_version, 0) FROM customer WHERE ID = ?") +
                         (m_db->isServer() ? QStringLiteral(" FOR UPDATE") : QString()),
                     {id});
    if (!v.isValid())
        return std::nullopt;
    return v.toLongLong();
}

QStringList CustomerStore::column(const QString& table, const QString& column,
                                  const QString& order) const
{
    QStringList out;
    for (QSqlQuery q =
             m_db->exec(QStringLiteral("SELECT ") + quoteName(column) + QStringLiteral(" FROM ") +
                        quoteName(table) + QStringLiteral(" ORDER BY ") + quoteName(order));
         q.next();) {
        const QString v = q.value(0).toString();
        if (!v.isEmpty())
            out << v;
    }
    return out;
}

QStringList CustomerStore::groups() const
{
    return column(QStringLiteral("size"), QStringLiteral("size"), QStringLiteral("id"));
}

QStringList CustomerStore::statuses() const
{
    return column(QStringLiteral("status_cust"), QStringLiteral("size"), QStringLiteral("id"));
}

QList<Title> CustomerStore::titles() const
{
    QList<Title> out;
    for (QSqlQuery q = m_db->exec(QStringLiteral("SELECT pre_name, sex FROM pre_name ORDER BY ID"));
         q.next();) {
        if (!q.value(0).toString().isEmpty())
            out << Title{q.value(0).toString(), q.value(1).toString()};
    }
    return out;
}

QStringList CustomerStore::userCaptions() const
{
    QStringList captions;
    for (QSqlQuery q = m_db->exec(
             QStringLiteral("SELECT user_caption FROM user_column ORDER BY rowid LIMIT 5"));
         q.next();)
        captions << q.value(0).toString();
    for (qsizetype i = captions.size(); i < 5; ++i)
        captions << QStringLiteral("user") + QString::number(i + 1);
    return captions;
}

qsizetype CustomerStore::updateAllAges(const QDate& today)
{
    Transaction t(*m_db);
    m_db->lockForWriting(Table);
    QList<std::pair<qint64, QDate>> born;
    for (QSqlQuery q = m_db->exec(
             QStringLiteral("SELECT rowid, birthday FROM customer WHERE birthday IS NOT NULL"));
         q.next();) {
        const QDate d = q.value(1).toDate();
        if (d.isValid())
            born.append({q.value(0).toLongLong(), d});
    }
    for (const auto& [key, day] : born)
        m_db->exec(QStringLiteral("UPDATE customer SET C_age = ?, month_birth = ?, "
                                  "row_version = coalesce(row_version, 0) + 1 WHERE rowid = ?"),
                   {qint64(text::ageInYears(day, today)), text::thaiMonthName(day),
                    QVariant::fromValue<qlonglong>(key)});
    t.commit();
    return born.size();
}

void CustomerStore::correctAddresses(Recordset& shown)
{
    if (shown.isEmpty())
        return;
    Transaction t(*m_db);
    for (shown.moveFirst(); !shown.atEnd(); shown.moveNext()) {
        Customer c = readCustomer(shown);
        c.fullAddress1 = addressLine1(c);
        c.fullAddress2 = addressLine2(c);
        c.spare3 = addressLine3(c);
        writeCustomerChanges(shown, c);
        platform::db::raiseRowVersion(shown);
        shown.store();
    }
    t.commit();
    shown.moveFirst();
}

void CustomerStore::removeAll(Recordset& shown)
{
    // From the end: the set closes its gap at no cost there.
    Transaction t(*m_db);
    while (!shown.isEmpty()) {
        shown.moveLast();
        shown.removeCurrent();
    }
    t.commit();
}

} // namespace tawela::customers
