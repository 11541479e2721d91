#pragma once
// The values of a TableGram's rows, private to this folder: ANSI texts in
// their code page, and each OLE DB type's bytes as the value adtgfile.h
// lists for it.
#include "values/adtgfile.h"

#include <QString>
#include <QStringDecoder>
#include <QVariant>

namespace zel::adtg {

// ANSI texts (DBTYPE_STR) in one code page.
class AnsiDecoder {
public:
    explicit AnsiDecoder(int codePage);
    // False when this computer cannot read the code page.
    bool isValid() const { return singleByte_ || decoder_.isValid() || system_; }
    QString decode(const uchar* p, qsizetype n);

private:
    int codePage_;
    bool singleByte_ = false;
    bool system_ = false; // the code page is read by Windows itself
    QStringDecoder decoder_;
};

// The value of a column of `type` in the `size` bytes at `p`: as many as
// the type's fixed size, or the value's length for texts and bytes.
// `ansi` reads STR texts. When the bytes are not a value of the type, gives
// a null QVariant and sets `notA` to what they should be ("a date").
QVariant decodeValue(quint16 type, const uchar* p, qsizetype size, AnsiDecoder* ansi,
                     QString& notA);

} // namespace zel::adtg
