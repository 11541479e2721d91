#include "orderform/formcontrols.h"

namespace zel::form {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(accessible.isEmpty() ? QString::fromLatin1(name) : accessible);
    return e;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(caption);
    return b;
}

QString accessibleOf(const QLabel* label) {
    QString t = label->text();
    if (t.endsWith(u':'))
        t.chop(1);
    return t;
}

} // namespace zel::form
