#pragma once
// Layout measures of the old forms are in twips (1/1440 inch).
class QWidget;

namespace zel {
int twipsToPixels(int twips, const QWidget* widget = nullptr);
} // namespace zel
