// Rowset files from other programs: read, or refused with RowSetFileError;
// every row read has one value per column.
#include "connection/rowsetfile.h"
#include "fuzz.h"

#include <cstdio>

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    RowSetFile file;
    try {
        file = readRowSetBytes(bytes, QStringLiteral("fuzz.adtg"));
    } catch (const RowSetFileError&) {
        return 0;
    }
    ZEL_FUZZ_CHECK(file.rows.columns.size() == file.columns.size());
    for (const auto& row : file.rows.rows)
        ZEL_FUZZ_CHECK(row.size() == file.columns.size());
    return 0;
}
