// Binary recordset files from other programs: read, or refused with
// adtg::Error; every row read has one value per column, of the type its
// column's OLE DB type gives, and the row-set file made of it shows the
// visible columns.
#include "connection/rowsetfile.h"
#include "fuzz.h"
#include "values/adtgfile.h"

#include <cstdio>

using namespace zel;

namespace {

// The value type each OLE DB type is read as.
int valueType(quint16 type) {
    switch (type) {
    case adtg::UI8:
        return QMetaType::ULongLong;
    case adtg::R4:
    case adtg::R8:
        return QMetaType::Double;
    case adtg::BOOL:
        return QMetaType::Bool;
    case adtg::DATE:
    case adtg::DBDATE:
    case adtg::DBTIMESTAMP:
    case adtg::FILETIME:
        return QMetaType::QDateTime;
    case adtg::DBTIME:
        return QMetaType::QTime;
    case adtg::BYTES:
        return QMetaType::QByteArray;
    case adtg::CY:
    case adtg::DECIMAL:
    case adtg::NUMERIC:
    case adtg::GUID:
    case adtg::STR:
    case adtg::WSTR:
        return QMetaType::QString;
    default:
        return QMetaType::LongLong;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    adtg::Recordset recordset;
    try {
        recordset = adtg::read(bytes);
    } catch (const adtg::Error& e) {
        ZEL_FUZZ_CHECK(!e.message().isEmpty());
        return 0;
    }
    ZEL_FUZZ_CHECK(adtg::isTableGram(bytes));
    qsizetype visible = 0;
    for (const auto& col : recordset.columns)
        visible += col.visible ? 1 : 0;
    for (const auto& row : recordset.rows) {
        ZEL_FUZZ_CHECK(row.size() == recordset.columns.size());
        for (qsizetype c = 0; c < row.size(); ++c)
            ZEL_FUZZ_CHECK(row[c].isNull() ||
                           row[c].typeId() == valueType(recordset.columns[c].type));
    }
    const RowSetFile file = readRowSetBytes(bytes, QStringLiteral("fuzz.adtg"));
    ZEL_FUZZ_CHECK(file.columns.size() == visible);
    ZEL_FUZZ_CHECK(file.rows.size() == recordset.rows.size());
    for (const auto& row : file.rows.rows)
        ZEL_FUZZ_CHECK(row.size() == visible);
    return 0;
}
