#pragma once
// Making the controls of a window: each named as its control, with the
// label beside it (or its own name) as the name a screen reader gives it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zel::form {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption);
// A heading label: the caption in a larger, bold font.
QLabel* makeHeading(QWidget* parent, const char* name, const QString& caption,
                    int pointsLarger = 4);
QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible = {});
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
// Names a widget that is made elsewhere (lists, multi-line boxes).
void nameControl(QWidget* w, const char* name, const QString& accessible = {});
// Names a widget and hands it back, for making and naming in one expression.
template <class W> W* named(W* w, const char* name, const QString& accessible = {}) {
    nameControl(w, name, accessible);
    return w;
}
// A label's caption as an accessible name ("Account:" -> "Account").
QString accessibleOf(const QLabel* label);

} // namespace zel::form
