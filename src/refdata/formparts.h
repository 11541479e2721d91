#pragma once
// Building blocks shared by the reference-data dialogs: controls named as the
// dialogs have always named them, with the accessible name of the label
// beside them (or their own name where they have none).
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

namespace zel::refdata {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption);
// A heading label: the caption in a larger, bold font.
QLabel* makeHeading(QWidget* parent, const char* name, const QString& caption,
                    int pointsLarger = 4);
QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible = {});
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);
// Names a widget that is made elsewhere (lists, multi-line boxes).
void nameControl(QWidget* w, const char* name, const QString& accessible = {});

// The label's caption without its trailing colon, as a box's accessible name.
QString accessibleOf(const QLabel* label);

} // namespace zel::refdata
