#include "bound/twips.h"

#include <QWidget>
#include <cmath>

namespace zel {

namespace {
int dpi(const QWidget* w) {
    int d = w ? w->logicalDpiX() : 96;
    return d > 0 ? d : 96;
}
} // namespace

int twipsToPixels(int twips, const QWidget* widget) {
    return int(std::lround(double(twips) * dpi(widget) / 1440.0));
}

} // namespace zel
