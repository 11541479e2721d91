// Rows read from the XML layout. Rows are what a program opening the
// recordset sees: the rows of the data section and of rs:insert, each
// rs:update as its rs:original row with the changed values and the
// rs:forcenull columns made NULL over it, and no rs:delete rows.
#include "connection/rowsetformat.h"

#include <QHash>
#include <QVariant>
#include <QXmlStreamReader>
#include <algorithm>

namespace zel::rowsets {

namespace {

// The column a schema's datatype describes; `type` is kept as written.
void applyDataType(RowSetFileColumn& col, const QString& type, const QString& dbType,
                   const QString& maxLength, bool isLong) {
    const QString t = type.toLower();
    col.type = type.isEmpty() ? QStringLiteral("string") : type;
    col.kind = Kind::Text;
    col.floating = false;
    col.maxLength = 0;
    if (t.isEmpty() || t == QLatin1String("string") || t == QLatin1String("bin.hex")) {
        col.maxLength = declaredLength(maxLength.toULongLong(), isLong);
    } else if (integerRange(t) || t == QLatin1String("ui8")) {
        col.kind = Kind::Integer;
    } else if (t == QLatin1String("number")) {
        col.kind = dbType.compare(QLatin1String("currency"), Qt::CaseInsensitive) == 0
                       ? Kind::Money
                       : Kind::Number;
    } else if (t == QLatin1String("fixed.14.4")) {
        col.kind = Kind::Money;
    } else if (t == QLatin1String("float") || t == QLatin1String("r8") ||
               t == QLatin1String("r4")) {
        col.kind = Kind::Number;
        col.floating = true;
    } else if (t == QLatin1String("datetime") || t == QLatin1String("datetime.tz") ||
               t == QLatin1String("date") || t == QLatin1String("time")) {
        col.kind = Kind::Date;
    } else if (t == QLatin1String("boolean")) {
        col.kind = Kind::Flag;
    }
}

// The type an element's attributes give a column (an AttributeType or its datatype).
void applyDataType(RowSetFileColumn& col, const QXmlStreamAttributes& attrs) {
    applyDataType(col, attrs.value(nsDataType, QStringLiteral("type")).toString(),
                  attrs.value(nsRowset, QStringLiteral("dbtype")).toString(),
                  attrs.value(nsDataType, QStringLiteral("maxLength")).toString(),
                  attrs.value(nsRowset, QStringLiteral("long")) == QLatin1String("true"));
}

class XmlRowSetReader {
public:
    XmlRowSetReader(const QByteArray& bytes, const QString& path) : xml_(bytes), path_(path) {}

    RowSetFile read();

private:
    struct Declared {
        int number; // rs:number, the column's place
        RowSetFileColumn column;
        QString attrName;
    };
    // A z:row's values, and which columns it gives (a value or rs:forcenull).
    using Values = QVector<QVariant>;
    using GivenRow = std::pair<Values, QVector<bool>>;

    QXmlStreamReader xml_;
    const QString& path_;
    RowSetFile result_;
    QList<Declared> declared_;
    std::optional<Declared> current_;
    QHash<QString, int> byAttrName_;
    bool seenRoot_ = false, seenSchema_ = false, seenData_ = false, inData_ = false;
    int deleted_ = 0;  // depth inside rs:delete, whose rows are not shown
    int original_ = 0; // depth inside rs:original
    bool inUpdate_ = false;
    // The rs:update being read: its original row, and its changes.
    std::optional<Values> updateOriginal_;
    std::optional<GivenRow> updateChange_;

    RowSetFileError failure(const QString& why) const { return readFailure(path_, why); }
    // "row 3: <why>", numbering the row being read.
    RowSetFileError rowFailure(const QString& why) const {
        return failure(QStringLiteral("row %1: %2").arg(result_.rows.size() + 1).arg(why));
    }

    void startElement();
    void endElement();
    void startColumn(const QXmlStreamAttributes& attrs);
    void startData();
    void startUpdate();
    void startRow(const QXmlStreamAttributes& attrs);
    void endUpdate();
    void finishSchema();
    void addRow(Values row);
    GivenRow readRow(const QXmlStreamAttributes& attrs);
    void forceNull(QStringView names, GivenRow& row);
    void finish();
};

RowSetFile XmlRowSetReader::read() {
    while (!xml_.atEnd()) {
        const auto token = xml_.readNext();
        // A document type may declare entities; a rowset file has none.
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            throw failure(QStringLiteral("it declares a document type or entities"));
        if (token == QXmlStreamReader::StartElement)
            startElement();
        else if (token == QXmlStreamReader::EndElement)
            endElement();
    }
    finish();
    return std::move(result_);
}

void XmlRowSetReader::startElement() {
    const QStringView ns = xml_.namespaceUri();
    const QStringView name = xml_.name();
    const auto attrs = xml_.attributes();
    if (!seenRoot_) {
        if (name != QLatin1String("xml") || !ns.isEmpty())
            throw failure(QStringLiteral("it is not a rowset file"));
        seenRoot_ = true;
    } else if (ns == nsSchema && name == QLatin1String("Schema")) {
        if (seenSchema_)
            throw failure(QStringLiteral("it has more than one schema section"));
        seenSchema_ = true;
    } else if (ns == nsSchema && name == QLatin1String("AttributeType")) {
        startColumn(attrs);
    } else if (ns == nsSchema && name == QLatin1String("datatype") && current_) {
        applyDataType(current_->column, attrs);
    } else if (ns == nsRowset && name == QLatin1String("data")) {
        startData();
    } else if (ns == nsRowset && name == QLatin1String("delete")) {
        ++deleted_;
    } else if (ns == nsRowset && name == QLatin1String("original") && deleted_ == 0) {
        if (!inUpdate_)
            throw rowFailure(QStringLiteral("original values outside a changed row"));
        ++original_;
    } else if (ns == nsRowset && name == QLatin1String("update") && deleted_ == 0) {
        startUpdate();
    } else if (ns == nsRow && name == QLatin1String("row") && inData_ && deleted_ == 0) {
        startRow(attrs);
    }
}

void XmlRowSetReader::endElement() {
    const QStringView ns = xml_.namespaceUri();
    const QStringView name = xml_.name();
    if (ns == nsSchema && name == QLatin1String("AttributeType") && current_) {
        declared_ << *current_;
        current_.reset();
    } else if (ns == nsRowset && name == QLatin1String("data")) {
        inData_ = false;
    } else if (ns == nsRowset && name == QLatin1String("delete")) {
        --deleted_;
    } else if (ns == nsRowset && name == QLatin1String("original") && deleted_ == 0) {
        --original_;
    } else if (ns == nsRowset && name == QLatin1String("update") && deleted_ == 0) {
        endUpdate();
    }
}

void XmlRowSetReader::startColumn(const QXmlStreamAttributes& attrs) {
    if (seenData_)
        throw failure(QStringLiteral("a column is declared after the data"));
    RowSetFileColumn col;
    const QString attrName = attrs.value(QLatin1String("name")).toString();
    col.name = attrs.hasAttribute(nsRowset, QStringLiteral("name"))
                   ? attrs.value(nsRowset, QStringLiteral("name")).toString()
                   : decodeRowSetName(attrName);
    bool ok = false;
    int number = attrs.value(nsRowset, QStringLiteral("number")).toInt(&ok);
    if (!ok)
        number = int(declared_.size()) + 1;
    // Some writers put the type on the attribute itself.
    applyDataType(col, attrs);
    current_ = Declared{number, col, attrName};
}

void XmlRowSetReader::startData() {
    if (!seenSchema_)
        throw failure(QStringLiteral("the data comes before the schema"));
    if (seenData_)
        throw failure(QStringLiteral("it has more than one data section"));
    seenData_ = inData_ = true;
    finishSchema();
}

void XmlRowSetReader::startUpdate() {
    if (inUpdate_)
        throw rowFailure(QStringLiteral("a changed row inside another"));
    inUpdate_ = true;
    updateOriginal_.reset();
    updateChange_.reset();
}

void XmlRowSetReader::startRow(const QXmlStreamAttributes& attrs) {
    GivenRow row = readRow(attrs);
    if (!inUpdate_)
        addRow(std::move(row.first));
    else if (original_ > 0 ? updateOriginal_.has_value() : updateChange_.has_value())
        throw rowFailure(QStringLiteral("a changed row gives more than one row"));
    else if (original_ > 0)
        updateOriginal_ = std::move(row.first);
    else
        updateChange_.emplace(std::move(row));
}

void XmlRowSetReader::endUpdate() {
    inUpdate_ = false;
    if (!updateOriginal_)
        throw rowFailure(QStringLiteral("a changed row without its original values"));
    Values row = std::move(*updateOriginal_);
    if (updateChange_) {
        const auto& [values, given] = *updateChange_;
        for (qsizetype c = 0; c < row.size(); ++c)
            if (given[c])
                row[c] = values[c];
    }
    addRow(std::move(row));
}

void XmlRowSetReader::finishSchema() {
    std::stable_sort(declared_.begin(), declared_.end(),
                     [](const auto& a, const auto& b) { return a.number < b.number; });
    for (int i = 0; i < declared_.size(); ++i) {
        result_.columns << declared_[i].column;
        result_.rows.columns << declared_[i].column.name;
        byAttrName_.insert(declared_[i].attrName, i);
    }
}

void XmlRowSetReader::addRow(Values row) {
    if ((result_.rows.size() + 1) * std::max<qsizetype>(1, result_.columns.size()) > maxRowSetCells)
        throw failure(QStringLiteral("it holds more values than this program reads (%1)")
                          .arg(maxRowSetCells));
    result_.rows.rows.push_back(std::move(row));
}

XmlRowSetReader::GivenRow XmlRowSetReader::readRow(const QXmlStreamAttributes& attrs) {
    GivenRow row{Values(result_.columns.size()), QVector<bool>(result_.columns.size())};
    auto& [values, given] = row;
    for (const auto& a : attrs) {
        if (a.namespaceUri() == nsRowset && a.name() == QLatin1String("forcenull")) {
            forceNull(a.value(), row);
            continue;
        }
        if (!a.namespaceUri().isEmpty())
            continue;
        const int c = byAttrName_.value(a.name().toString(), -1);
        if (c < 0)
            continue;
        values[c] = typedValue(result_.columns[c], a.value().toString());
        given[c] = true;
        if (!values[c].isValid())
            throw failure(QStringLiteral("row %1, column %2: %3 is not %4")
                              .arg(result_.rows.size() + 1)
                              .arg(result_.columns[c].name, quoted(a.value().toString()),
                                   typeWord(result_.columns[c])));
    }
    return row;
}

// The columns rs:forcenull names (by attribute name) are given as NULL.
void XmlRowSetReader::forceNull(QStringView names, GivenRow& row) {
    for (const auto& name : names.split(u' ', Qt::SkipEmptyParts)) {
        const int c = byAttrName_.value(name.toString(), -1);
        if (c >= 0) {
            row.first[c] = QVariant();
            row.second[c] = true;
        }
    }
}

void XmlRowSetReader::finish() {
    if (xml_.hasError())
        throw failure(QStringLiteral("%1 (line %2, column %3)")
                          .arg(xml_.errorString())
                          .arg(xml_.lineNumber())
                          .arg(xml_.columnNumber()));
    if (!seenRoot_)
        throw failure(QStringLiteral("the file is empty"));
    if (!seenSchema_)
        throw failure(QStringLiteral("it has no schema section"));
    if (!seenData_)
        throw failure(QStringLiteral("it has no data section"));
}

} // namespace

bool looksLikeXml(const QByteArray& bytes) {
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    return i < bytes.size() && bytes[i] == '<';
}

RowSetFile readXmlRowSet(const QByteArray& bytes, const QString& path) {
    return XmlRowSetReader(bytes, path).read();
}

} // namespace zel::rowsets
