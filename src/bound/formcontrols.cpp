#include "bound/formcontrols.h"
#include "app/dialogs.h"

#include <QAbstractButton>

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
    if (!accessible.isEmpty()) {
        w->setAccessibleName(accessible);
        return;
    }
    // A label or a captioned button is read out by its caption, which a
    // screen reader follows as it changes; anything else by its name.
    if (qobject_cast<QLabel*>(w))
        return;
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty())
        return;
    w->setAccessibleName(QString::fromLatin1(name));
}

QLineEdit* makeBox(QWidget* parent, const char* name, const QString& accessible) {
    auto* e = new QLineEdit(parent);
    nameControl(e, name, accessible);
    return e;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    // The caption's own letter is given when the window is shown, where the
    // letters of all its buttons are known; the name never carries the '&'.
    auto* b = new QPushButton(caption, parent);
    nameControl(b, name, plainCaption(caption));
    return b;
}

QString accessibleOf(const QLabel* label) {
    QString t = label->text().trimmed();
    if (t.endsWith(u':'))
        t.chop(1);
    return t;
}

} // namespace zel::form
