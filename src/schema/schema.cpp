#include "data/schema.h"
#include "connection/database.h"

#include <QMutex>

#include <QHash>
#include <utility>
#include <vector>

namespace zel::schema {

namespace {

using Col = std::pair<QString, Kind>;
using K = Kind;

const std::vector<std::pair<QString, std::vector<Col>>>& tables() {
    static const std::vector<std::pair<QString, std::vector<Col>>> all = {
        {OrderInformation,
         {{"Quote ID", K::Integer},
          {"Customer Ref", K::Text},
          {"Quoted Date", K::Date},
          {"Customer Shortname", K::Text},
          {"Customer Name", K::Text},
          {"Street", K::Text},
          {"Street2", K::Text},
          {"Town", K::Text},
          {"County/Postcode", K::Text},
          {"CUSTOMER ID", K::Integer},
          {"Account No", K::Text},
          {"Title", K::Text},
          {"Initial", K::Text},
          {"Contact Name", K::Text},
          {"Position/Department", K::Text},
          {"Telephone", K::Text},
          {"Sales Rep", K::Text},
          {"Name", K::Text},
          {"Shipped To", K::Text},
          {"Shipto id", K::Integer},
          {"InvoiceTo", K::Integer},
          {"Status", K::Integer},
          {"Discount", K::Number},
          {"VAT", K::Number},
          {"package price", K::Money},
          {"Grand Total", K::Money}}},
        {OrderDetails,
         {{"ID", K::Integer},
          {"Order ID", K::Integer},
          {"Product ID", K::Integer},
          {"Part Id", K::Text},
          {"Description", K::Text},
          {"Unit Price", K::Money},
          {"Quantity", K::Integer},
          {"Discount", K::Number},
          {"Parts Status", K::Integer},
          {"Qty BI", K::Integer},
          {"Date BI", K::Date},
          {"Notes", K::Text},
          {"Loc", K::Text},
          {"GoodsDel", K::Flag},
          {"GoodsDelNotes", K::Text},
          {"DueDate", K::Date}}},
        {Products,
         {{"Product ID", K::Integer},
          {"Product Name", K::Text},
          {"English Name", K::Text},
          {"QuoteDescName", K::Text},
          {"QuoteDesc", K::Flag},
          {"Unit Price", K::Money},
          {"group id", K::Integer}}},
        {ProductGroup, {{"analcode", K::Integer}, {"desc", K::Text}}},
        {EmployeeData,
         {{"Employee ID", K::Integer},
          {"Payroll ID", K::Integer},
          {"Previous Surname", K::Text},
          {"Forenames", K::Text},
          {"Surname", K::Text},
          {"Address1", K::Text},
          {"Address2", K::Text},
          {"Town", K::Text},
          {"County", K::Text},
          {"Post Code", K::Text},
          {"Country", K::Text},
          {"Telephone No", K::Text},
          {"Fax", K::Text},
          {"Business No", K::Text},
          {"E-Mail", K::Text},
          {"WebSite", K::Text},
          {"Cost Centre", K::Text},
          {"Type", K::Text}}},
        {StatusTable,
         {{"ID", K::Integer}, {"Status Letter", K::Text}, {"Status Description", K::Text}}},
        {GlobalSysConfig, {{"Item", K::Text}, {"TextValue", K::Text}, {"NumberValue", K::Integer}}},
        {SysConfig, {{"Item", K::Text}, {"TextValue", K::Text}}},
        {Transaction,
         {{"id", K::Integer},
          {"AccountHolder", K::Number},
          {"Ref", K::Number},
          {"TypeRef", K::Number},
          {"Item", K::Text},
          {"Cinout", K::Money},
          {"DCinout", K::Integer},
          {"Type", K::Text},
          {"Date", K::Date},
          {"CostPool", K::Integer}}},
        {SelectedSalesRep, {{"Rep Code", K::Text}, {"Rep Name", K::Text}}},
    };
    return all;
}

const std::vector<Col>* find(const QString& table) {
    for (const auto& [name, cols] : tables())
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return &cols;
    return nullptr;
}

const Col* findColumn(const QString& table, const QString& column) {
    if (auto* cols = find(table))
        for (const auto& c : *cols)
            if (c.first.compare(column, Qt::CaseInsensitive) == 0)
                return &c;
    return nullptr;
}

} // namespace

QStringList columns(const QString& table) {
    QStringList out;
    if (auto* cols = find(table))
        for (const auto& c : *cols)
            out << c.first;
    return out;
}

std::optional<Kind> columnKind(const QString& table, const QString& column) {
    if (auto* c = findColumn(table, column))
        return c->second;
    return std::nullopt;
}

QString columnName(const QString& table, const QString& column) {
    if (auto* c = findColumn(table, column))
        return c->first;
    return column;
}

namespace {

struct TextLimit {
    qint64 characters = -1; // -1: no limit known
    qint64 bytes = -1;
};

// The text columns' limits of a table, read from the server once per run
// (editors on other connections, in other threads, share the cache).
TextLimit textLimit(Database& db, const QString& table, const QString& column) {
    static QMutex mutex;
    static QHash<QString, QHash<QString, TextLimit>> cache;
    const QString t = table.toLower();
    QMutexLocker lock(&mutex);
    auto it = cache.find(t);
    if (it == cache.end()) {
        RowSet rs = db.select(
            QStringLiteral(
                "SELECT `COLUMN_NAME`, `CHARACTER_MAXIMUM_LENGTH`, `CHARACTER_OCTET_LENGTH` "
                "FROM `information_schema`.`COLUMNS` "
                "WHERE `TABLE_SCHEMA` = DATABASE() AND `TABLE_NAME` = ?"),
            {table});
        QHash<QString, TextLimit> limits;
        for (const auto& row : rs.rows) {
            TextLimit l;
            if (!row[1].isNull())
                l.characters = row[1].toLongLong();
            if (!row[2].isNull())
                l.bytes = row[2].toLongLong();
            limits.insert(row[0].toString().toLower(), l);
        }
        // An unknown table (no rows) is not remembered, so a later read can find it.
        if (limits.isEmpty())
            return {};
        it = cache.insert(t, limits);
    }
    return it->value(column.toLower());
}

} // namespace

void checkLength(const QString& table, const QString& column, const QVariant& value,
                 const QString& text, const QString& field, Database* db) {
    if (value.typeId() != QMetaType::QString)
        return;
    const TextLimit limit = textLimit(db ? *db : gConn(), table, columnName(table, column));
    const QString typed = value.toString();
    // The column may be limited in characters or, for a byte-sized type, in bytes.
    const struct {
        qint64 limit, used;
        const char* form;
    } measures[] = {
        {limit.characters, typed.toUcs4().size(),
         "%1 is too long: it can hold %2 characters and %3 were typed."},
        {limit.bytes, typed.toUtf8().size(),
         "%1 is too long: it can hold %2 bytes and the text typed takes %3."},
    };
    for (const auto& m : measures)
        if (m.limit >= 0 && m.used > m.limit)
            throw ConversionError(field, text,
                                  QString::fromLatin1(m.form).arg(field).arg(m.limit).arg(m.used));
}

QVariant columnValue(const QString& table, const QString& column, const QString& text,
                     const QString& field, Database* db) {
    const QString name = columnName(table, column);
    QVariant v = toColumnValue(columnKind(table, name).value_or(Kind::Text), text, field);
    checkLength(table, name, v, text, field, db);
    return v;
}

QString q(const QString& name) {
    QString n = name;
    n.replace(u'`', QLatin1String("``"));
    return u'`' + n + u'`';
}

} // namespace zel::schema
