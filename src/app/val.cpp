#include "values/val.h"

#include <cmath>
#include <limits>

namespace zel {

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
} // namespace

double Val(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    // Blanks are skipped anywhere in the number, as the forms runtime did.
    auto skip = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skip();
    if (i + 1 < n && text[i] == u'&') {
        QChar base = text[i + 1].toUpper();
        int radix = base == u'H' ? 16 : base == u'O' ? 8 : 0;
        if (radix) {
            i += 2;
            long long v = 0;
            bool any = false, overflow = false;
            while (i < n) {
                const char16_t c = text[i].unicode();
                int d = c >= u'0' && c <= u'9'   ? c - u'0'
                        : c >= u'a' && c <= u'f' ? c - u'a' + 10
                        : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                 : 99;
                if (d >= radix)
                    break;
                overflow = overflow || __builtin_mul_overflow(v, radix, &v) ||
                           __builtin_add_overflow(v, d, &v);
                any = true;
                ++i;
            }
            // A literal beyond 64 bits is no number (Basic stops with an overflow).
            return any && !overflow ? double(v) : 0.0;
        }
    }
    QString digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        digits += text[i];
        ++i;
        skip();
    }
    bool mantissa = false, dot = false;
    while (i < n) {
        QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            mantissa = true;
        } else if (c == u'.' && !dot) {
            digits += c;
            dot = true;
        } else if (isBlank(c)) {
            // blanks inside a number are ignored
        } else {
            break;
        }
        ++i;
    }
    if (!mantissa)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        qsizetype j = i + 1;
        QString exp = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exp += text[j++];
        bool any = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            exp += text[j++];
            any = true;
        }
        if (any)
            digits += exp;
    }
    bool ok = false;
    double v = digits.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    double fl = std::floor(value);
    double diff = value - fl;
    if (diff > 0.5)
        return fl + 1.0;
    if (diff < 0.5)
        return fl;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

int32_t valToInt(QStringView text) {
    double r = roundHalfEven(Val(text));
    if (r > double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r < double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(r);
}

QString plainNumber(double value, int maxDecimals) {
    if (!std::isfinite(value))
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', maxDecimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

} // namespace zel
