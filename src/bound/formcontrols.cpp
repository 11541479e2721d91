#include "bound/formcontrols.h"

namespace zel::form {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLabel* makeHeading(QWidget* parent, const char* name, const QString& caption, int pointsLarger) {
    QLabel* l = makeLabel(parent, name, caption);
    QFont f = l->font();
    f.setBold(true);
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() + pointsLarger);
    l->setFont(f);
    return l;
}

void nameControl(QWidget* w, const char* name, const QString& accessible) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessible.isEmpty() ? QString::fromLatin1(name) : accessible);
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible) {
    auto* e = new QLineEdit(parent);
    nameControl(e, name, accessible);
    return e;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    nameControl(b, name, caption);
    return b;
}

QString accessibleOf(const QLabel* label) {
    QString t = label->text().trimmed();
    if (t.endsWith(u':'))
        t.chop(1);
    return t;
}

} // namespace zel::form
