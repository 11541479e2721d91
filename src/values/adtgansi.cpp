// ANSI texts of a TableGram in the code page they were saved in.
#include "values/adtgvalues.h"

#include <array>
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace zel::adtg {

namespace {

// Windows-1252 where it differs from Latin-1 (0x80 to 0x9F); the five bytes
// it leaves undefined stay the control characters of the same number.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

AnsiDecoder::AnsiDecoder(int codePage) : codePage_(codePage) {
    // Windows-1252 and Latin-1 are read here; US-ASCII is a part of both.
    singleByte_ = codePage == 1252 || codePage == 28591 || codePage == 20127;
    if (singleByte_)
        return;
    if (codePage == 65001) {
        decoder_ = QStringDecoder(QStringDecoder::Utf8);
        return;
    }
    for (const char* form : {"windows-%1", "cp%1", "ibm-%1"}) {
        decoder_ = QStringDecoder(QString::fromLatin1(form).arg(codePage).toLatin1());
        if (decoder_.isValid())
            return;
    }
#ifdef Q_OS_WIN
    // Qt knows few code pages by name on Windows; the system knows them all.
    system_ = IsValidCodePage(UINT(codePage));
#endif
}

QString AnsiDecoder::decode(const uchar* p, qsizetype n) {
    if (singleByte_) {
        QString s(n, Qt::Uninitialized);
        for (qsizetype i = 0; i < n; ++i)
            s[i] = QChar(codePage_ == 1252 && p[i] >= 0x80 && p[i] < 0xA0 ? cp1252High[p[i] - 0x80]
                                                                          : char16_t(p[i]));
        return s;
    }
#ifdef Q_OS_WIN
    if (system_) {
        const auto bytes = reinterpret_cast<const char*>(p);
        const int units = MultiByteToWideChar(UINT(codePage_), 0, bytes, int(n), nullptr, 0);
        QString s(units, Qt::Uninitialized);
        MultiByteToWideChar(UINT(codePage_), 0, bytes, int(n), reinterpret_cast<wchar_t*>(s.data()),
                            units);
        return s;
    }
#endif
    decoder_.resetState();
    return decoder_.decode(QByteArrayView(p, n));
}

} // namespace zel::adtg
