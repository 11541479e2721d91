#pragma once
// Reading a TableGram's bytes, private to this folder: a cursor that never
// reads past the part it is in, and says which part a file ends in.
#include "values/adtgfile.h"

#include <QByteArray>
#include <QString>

namespace zel::adtg {

// What is being read, for the messages.
enum class Part {
    Header,
    HandlerOptions,
    ResultDescriptor,
    TableDescriptor,
    ColumnDescriptor,
    Skipped,
    Description,
    Row,
};

inline QString partName(Part part, qsizetype number) {
    switch (part) {
    case Part::Header:
        return QStringLiteral("the header");
    case Part::HandlerOptions:
        return QStringLiteral("the handler options");
    case Part::ResultDescriptor:
        return QStringLiteral("the description of the recordset");
    case Part::TableDescriptor:
        return QStringLiteral("the description of table %1").arg(number);
    case Part::ColumnDescriptor:
        return QStringLiteral("the description of column %1").arg(number);
    case Part::Skipped:
        return QStringLiteral("a description this program does not use");
    case Part::Description:
        return QStringLiteral("the description of its columns");
    case Part::Row:
        break;
    }
    return QStringLiteral("row %1").arg(number);
}

// Little-endian reading within [pos, end), never past it. A cursor over a
// part whose size the file states (`statedSize` >= 0) reports reading past
// that size as a part that holds more than it says.
class Cursor {
public:
    Cursor(const QByteArray& bytes, Part part, qsizetype number)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), end_(bytes.size()), part_(part),
          number_(number) {}

    qsizetype pos() const { return pos_; }
    qsizetype remaining() const { return end_ - pos_; }
    bool atEnd() const { return pos_ >= end_; }
    void setPart(Part part, qsizetype number) {
        part_ = part;
        number_ = number;
    }

    [[noreturn]] void fail(const QString& why) const { throw Error(why); }
    [[noreturn]] void tooShort() const {
        if (statedSize_ >= 0)
            fail(QStringLiteral("%1 holds more than the %2 bytes it says it has")
                     .arg(partName(part_, number_))
                     .arg(statedSize_));
        fail(QStringLiteral("it ends early, in the middle of %1").arg(partName(part_, number_)));
    }

    const uchar* take(quint64 n) {
        if (n > quint64(remaining()))
            tooShort();
        const uchar* p = data_ + pos_;
        pos_ += qsizetype(n);
        return p;
    }
    quint8 peek() {
        if (atEnd())
            tooShort();
        return data_[pos_];
    }
    quint8 u8() { return *take(1); }
    quint16 u16() {
        const uchar* p = take(2);
        return quint16(p[0] | p[1] << 8);
    }
    quint32 u32() {
        const uchar* p = take(4);
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
    quint64 u64() {
        const quint64 low = u32();
        return low | quint64(u32()) << 32;
    }
    // A LENGTH-PREFIXED-STRING: a count of UTF-16 code units, then the units.
    QString lengthPrefixedString() {
        const quint16 units = u16();
        return utf16(take(quint64(units) * 2), units);
    }
    static QString utf16(const uchar* p, qsizetype units) {
        QString s(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i)
            s[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
        return s;
    }

    // A cursor over the next `size` bytes, which this one steps over.
    Cursor part(quint64 size, Part part, qsizetype number) {
        const qsizetype start = pos_;
        if (size > quint64(remaining())) {
            setPart(part, number);
            tooShort();
        }
        take(size);
        Cursor inner = *this;
        inner.pos_ = start;
        inner.end_ = start + qsizetype(size);
        inner.part_ = part;
        inner.number_ = number;
        inner.statedSize_ = qsizetype(size);
        return inner;
    }

private:
    const uchar* data_;
    qsizetype pos_ = 0;
    qsizetype end_;
    Part part_;
    qsizetype number_;
    qsizetype statedSize_ = -1;
};

} // namespace zel::adtg
