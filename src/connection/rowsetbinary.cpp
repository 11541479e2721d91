// A file in ADO's binary format as the rows of a row-set file: its columns
// described as the XML layout would describe them.
#include "connection/rowsetformat.h"

namespace zel::rowsets {

namespace {

// How the XML layout names a binary column's type, and what it holds.
struct XmlType {
    const char* type;
    Kind kind;
    bool floating = false;
};

XmlType xmlTypeOf(quint16 type) {
    switch (type) {
    case adtg::STR:
    case adtg::WSTR:
        return {"string", Kind::Text};
    case adtg::BYTES:
        return {"bin.hex", Kind::Text};
    case adtg::GUID:
        return {"uuid", Kind::Text};
    case adtg::I1:
        return {"i1", Kind::Integer};
    case adtg::I2:
        return {"i2", Kind::Integer};
    case adtg::I4:
        return {"int", Kind::Integer};
    case adtg::I8:
        return {"i8", Kind::Integer};
    case adtg::UI1:
        return {"ui1", Kind::Integer};
    case adtg::UI2:
        return {"ui2", Kind::Integer};
    case adtg::UI4:
        return {"ui4", Kind::Integer};
    case adtg::UI8:
        return {"ui8", Kind::Integer};
    case adtg::R4:
        return {"r4", Kind::Number, true};
    case adtg::R8:
        return {"float", Kind::Number, true};
    case adtg::CY:
        return {"number", Kind::Money};
    case adtg::DECIMAL:
    case adtg::NUMERIC:
        return {"number", Kind::Number};
    case adtg::BOOL:
        return {"boolean", Kind::Flag};
    case adtg::DBDATE:
        return {"date", Kind::Date};
    case adtg::DBTIME:
        return {"time", Kind::Date};
    default: // DATE, DBTIMESTAMP, FILETIME: the reader refuses every other type
        return {"dateTime", Kind::Date};
    }
}

// A binary file's column as the XML layout would describe it.
RowSetFileColumn columnOf(const adtg::Column& c) {
    const XmlType t = xmlTypeOf(c.type);
    RowSetFileColumn col;
    col.name = c.name;
    col.type = QString::fromLatin1(t.type);
    col.kind = t.kind;
    col.floating = t.floating;
    if (c.type == adtg::STR || c.type == adtg::WSTR || c.type == adtg::BYTES)
        col.maxLength = declaredLength(c.maxLength, c.flags & adtg::Long);
    return col;
}

} // namespace

RowSetFile fromRecordset(const adtg::Recordset& recordset) {
    RowSetFile result;
    QList<qsizetype> shown;
    for (qsizetype c = 0; c < recordset.columns.size(); ++c) {
        if (!recordset.columns[c].visible)
            continue;
        shown << c;
        result.columns << columnOf(recordset.columns[c]);
        result.rows.columns << recordset.columns[c].name;
    }
    result.rows.rows.reserve(recordset.rows.size());
    for (const auto& values : recordset.rows) {
        QVector<QVariant> row;
        row.reserve(shown.size());
        for (const qsizetype c : shown)
            row << values[c];
        result.rows.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace zel::rowsets
