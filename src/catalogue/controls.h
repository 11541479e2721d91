#pragma once
// Naming of the catalogue windows' controls: the object name is the
// control's name, the accessible name its label (or its own name).
#include <QString>
#include <QWidget>

namespace zel::catalogue {

template <class W> W* named(W* w, const char* name, const QString& accessible = {}) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessible.isEmpty() ? QString::fromLatin1(name) : accessible);
    return w;
}

} // namespace zel::catalogue
