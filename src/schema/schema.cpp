#include "schema/schema.h"

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
         {{"Quote ID", K::Integer},       {"Customer Ref", K::Text},
          {"Quoted Date", K::Date},       {"Customer Shortname", K::Text},
          {"Customer Name", K::Text},     {"Street", K::Text},
          {"Street2", K::Text},           {"Town", K::Text},
          {"County/Postcode", K::Text},   {"CUSTOMER ID", K::Integer},
          {"Account No", K::Text},        {"Title", K::Text},
          {"Initial", K::Text},           {"Contact Name", K::Text},
          {"Position/Department", K::Text}, {"Telephone", K::Text},
          {"Sales Rep", K::Text},         {"Name", K::Text},
          {"Shipped To", K::Text},        {"Shipto id", K::Integer},
          {"InvoiceTo", K::Integer},      {"Status", K::Integer},
          {"Discount", K::Number},        {"VAT", K::Number},
          {"package price", K::Money},    {"Grand Total", K::Money}}},
        {OrderDetails,
         {{"ID", K::Integer},           {"Order ID", K::Integer},   {"Product ID", K::Integer},
          {"Part Id", K::Text},         {"Description", K::Text},   {"Unit Price", K::Money},
          {"Quantity", K::Integer},     {"Discount", K::Number},    {"Parts Status", K::Integer},
          {"Qty BI", K::Integer},       {"Date BI", K::Date},       {"Notes", K::Text},
          {"Loc", K::Text},             {"GoodsDel", K::Flag},      {"GoodsDelNotes", K::Text},
          {"DueDate", K::Date}}},
        {Products,
         {{"Product ID", K::Integer}, {"Product Name", K::Text}, {"English Name", K::Text},
          {"QuoteDescName", K::Text}, {"QuoteDesc", K::Flag},   {"Unit Price", K::Money},
          {"group id", K::Integer}}},
        {ProductGroup, {{"analcode", K::Integer}, {"desc", K::Text}}},
        {EmployeeData,
         {{"Employee ID", K::Integer}, {"Payroll ID", K::Integer}, {"Previous Surname", K::Text},
          {"Forenames", K::Text},      {"Surname", K::Text},      {"Address1", K::Text},
          {"Address2", K::Text},       {"Town", K::Text},         {"County", K::Text},
          {"Post Code", K::Text},      {"Country", K::Text},      {"Telephone No", K::Text},
          {"Fax", K::Text},            {"Business No", K::Text},  {"E-Mail", K::Text},
          {"WebSite", K::Text},        {"Cost Centre", K::Text},  {"Type", K::Text}}},
        {StatusTable,
         {{"ID", K::Integer}, {"Status Letter", K::Text}, {"Status Description", K::Text}}},
        {GlobalSysConfig, {{"Item", K::Text}, {"TextValue", K::Text}, {"NumberValue", K::Integer}}},
        {SysConfig, {{"Item", K::Text}, {"TextValue", K::Text}}},
        {Transaction,
         {{"id", K::Integer},     {"AccountHolder", K::Number}, {"Ref", K::Number},
          {"TypeRef", K::Number}, {"Item", K::Text},            {"Cinout", K::Money},
          {"DCinout", K::Integer}, {"Type", K::Text},           {"Date", K::Date},
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

QString q(const QString& name) {
    QString n = name;
    n.replace(u'`', QLatin1String("``"));
    return u'`' + n + u'`';
}

} // namespace zel::schema
