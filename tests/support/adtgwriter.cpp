#include "support/adtgwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <cstring>
#include <gtest/gtest.h>

namespace zel::test {

namespace {

void put16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void put32(QByteArray& b, quint32 v) {
    put16(b, quint16(v));
    put16(b, quint16(v >> 16));
}
void put64(QByteArray& b, quint64 v) {
    put32(b, quint32(v));
    put32(b, quint32(v >> 32));
}
void putString(QByteArray& b, const QString& s) {
    put16(b, quint16(s.size()));
    for (const QChar c : s)
        put16(b, c.unicode());
}
// A part with its token and the size of what follows.
void putPart(QByteArray& b, quint8 token, const QByteArray& body) {
    b.append(char(token));
    put16(b, quint16(body.size()));
    b.append(body);
}

bool isNullable(const AdtgColumn& c) {
    return c.flags & (adtg::Nullable | adtg::MaybeNull);
}

} // namespace

QByteArray AdtgWriter::value(int column, const QVariant& v) const {
    const AdtgColumn& col = columns_[column];
    QByteArray b;
    const bool variable =
        (col.type == adtg::STR || col.type == adtg::WSTR || col.type == adtg::BYTES) &&
        !(col.flags & adtg::FixedLength);
    if (v.typeId() == QMetaType::QByteArray) {
        b = v.toByteArray();
    } else {
        switch (col.type) {
        case adtg::I1:
        case adtg::UI1:
            b.append(char(v.toLongLong()));
            break;
        case adtg::I2:
        case adtg::UI2:
            put16(b, quint16(v.toLongLong()));
            break;
        case adtg::BOOL:
            put16(b, v.toBool() ? 0xFFFF : 0);
            break;
        case adtg::I4:
        case adtg::UI4:
            put32(b, quint32(v.toLongLong()));
            break;
        case adtg::R4: {
            const float f = v.toFloat();
            quint32 raw;
            std::memcpy(&raw, &f, sizeof raw);
            put32(b, raw);
            break;
        }
        case adtg::R8:
        case adtg::DATE: {
            const double d = v.toDouble();
            quint64 raw;
            std::memcpy(&raw, &d, sizeof raw);
            put64(b, raw);
            break;
        }
        case adtg::UI8:
            put64(b, v.toULongLong());
            break;
        case adtg::I8:
        case adtg::CY:
            put64(b, quint64(v.toLongLong()));
            break;
        case adtg::WSTR:
            for (const QChar c : v.toString())
                put16(b, c.unicode());
            break;
        case adtg::STR:
            b = v.toString().toLatin1();
            break;
        default:
            ADD_FAILURE() << "give a QByteArray for type " << col.type;
        }
    }
    if (!variable)
        return b;
    const quint64 maxBytes = quint64(col.maxLength) * (col.type == adtg::WSTR ? 2 : 1);
    QByteArray out;
    if (maxBytes < 256)
        out.append(char(b.size()));
    else
        put32(out, quint32(b.size()));
    return out + b;
}

QByteArray AdtgWriter::originalRow(const QVariantList& values) const {
    int nullable = 0;
    for (const auto& c : columns_)
        nullable += isNullable(c) ? 1 : 0;
    // A bit per nullable column, set when it has a value; unused bits set.
    QByteArray mask((nullable + 7) / 8, char(0xFF));
    QByteArray data;
    int k = 0;
    for (int c = 0; c < columns_.size(); ++c) {
        const bool null = values.value(c).isNull();
        if (isNullable(columns_[c])) {
            if (null)
                mask[k / 8] = char(mask[k / 8] & ~(0x80 >> (k % 8)));
            ++k;
        }
        if (!null)
            data += value(c, values[c]);
    }
    return mask + data;
}

QByteArray AdtgWriter::changes(const QList<Change>& values) const {
    const int maskSize = int((columns_.size() + 7) / 8);
    QByteArray given(maskSize, 0), nulled(maskSize, 0), data;
    for (int c = 0; c < columns_.size(); ++c) {
        const Change& v = values.value(c);
        if (!v)
            continue;
        if (v->isNull()) {
            nulled[c / 8] = char(nulled[c / 8] | (0x80 >> (c % 8)));
        } else {
            given[c / 8] = char(given[c / 8] | (0x80 >> (c % 8)));
            data += value(c, *v);
        }
    }
    return given + nulled + data;
}

AdtgWriter& AdtgWriter::row(const QVariantList& values) {
    rows_ += char(0x07) + originalRow(values);
    ++shownRows_;
    return *this;
}

AdtgWriter& AdtgWriter::changed(const QVariantList& original, const QList<Change>& changes) {
    rows_ += char(0x07) + originalRow(original) + char(0x0A) + this->changes(changes);
    ++shownRows_;
    return *this;
}

AdtgWriter& AdtgWriter::deleted(const QVariantList& original) {
    rows_ += char(0x07) + originalRow(original) + char(0x0C);
    return *this;
}

AdtgWriter& AdtgWriter::inserted(const QList<Change>& values) {
    rows_ += char(0x0D) + changes(values);
    ++shownRows_;
    return *this;
}

AdtgWriter& AdtgWriter::baseTable(const QString& name, quint16 codePage) {
    table_ = std::pair(name, codePage);
    return *this;
}

AdtgWriter& AdtgWriter::statedRows(quint32 rows) {
    statedRows_ = rows;
    return *this;
}

AdtgWriter& AdtgWriter::statedColumns(quint16 columns) {
    statedColumns_ = columns;
    return *this;
}

QByteArray AdtgWriter::description() const {
    QByteArray b("\x01\x07TG!\x00\x00\x00\x00", 9);

    // Handler options: the recordset's GUID, update all rows, no URLs or name.
    QByteArray options = QByteArray::fromHex("b692f23f04b2cf118d2300aa005ffe58");
    options.append(char(0x01));
    options.append(QByteArray(8, 0));
    putPart(b, 0x02, options);

    quint16 visible = 0;
    for (const auto& c : columns_)
        visible += c.visible ? 1 : 0;
    QByteArray result = QByteArray::fromHex("d2ad63f602ebcf11b0e300aa003f000f");
    result.append(QByteArray(3, 0)); // result info, cursor model, normalization
    put16(result, visible);
    put16(result, statedColumns_.value_or(quint16(columns_.size())));
    put16(result, 0); // computed columns
    put16(result, table_ ? 1 : 0);
    put16(result, 0); // order-by columns
    put32(result, statedRows_.value_or(shownRows_));
    putPart(b, 0x03, result);

    if (table_) {
        QByteArray table;
        put16(table, 1);
        putString(table, table_->first);
        putString(table, table_->first);
        put16(table, table_->second);
        put16(table, quint16(columns_.size()));
        put16(table, 0); // no key columns
        putPart(b, 0x05, table);
    }

    for (int i = 0; i < columns_.size(); ++i) {
        const AdtgColumn& c = columns_[i];
        QByteArray col;
        // Friendly name, and with a base table its ordinal, the column's
        // ordinal and name there; is-auto-increment present.
        col.append(char(table_ ? 0xF0 : 0x80)).append(char(0x01)).append(char(0));
        put16(col, quint16(i + 1));
        putString(col, c.name);
        if (table_) {
            put16(col, 1);
            put16(col, quint16(i + 1));
            putString(col, c.name);
        }
        put16(col, c.type);
        put32(col, c.maxLength);
        put32(col, c.precision);
        put32(col, quint32(c.scale));
        put32(col, c.flags | 0x04); // writable
        put16(col, 0);              // not auto-increment
        put16(col, c.visible ? 0xFFFF : 0);
        putPart(b, 0x06, col);
    }
    return b;
}

qsizetype AdtgWriter::rowsOffset() const {
    return description().size();
}

QByteArray AdtgWriter::bytes() const {
    return description() + rows_ + char(0x0F);
}

void AdtgWriter::save(const QString& path) const {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    const QByteArray b = bytes();
    ASSERT_EQ(f.write(b), b.size());
}

QString adtgSamplesDir() {
    const QString root = QProcessEnvironment::systemEnvironment().value("ZEL_SOURCE_DIR");
    EXPECT_FALSE(root.isEmpty()) << "ZEL_SOURCE_DIR names the source tree";
    const QString dir = QDir(root).absoluteFilePath(QStringLiteral("../shared/adtg-samples"));
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/README.md")))
        << "the recordset files ADO wrote belong in " << dir.toStdString()
        << ", beside the source tree (as the CI clones it)";
    return dir;
}

} // namespace zel::test
