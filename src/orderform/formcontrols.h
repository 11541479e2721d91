#pragma once
// Making the controls of a window: each named as its control, with the
// label beside it (or its own name) as the name a screen reader gives it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zel::form {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption);
QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible = {});
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
// A label's caption as an accessible name ("Account:" -> "Account").
QString accessibleOf(const QLabel* label);

} // namespace zel::form
