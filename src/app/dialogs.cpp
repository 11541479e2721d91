#include "app/dialogs.h"

namespace zel {

QWidget* DialogRegistry::find(const QString& kind) const {
    auto it = open_.find(kind);
    return it == open_.end() ? nullptr : it->second.data();
}

void DialogRegistry::adopt(const QString& kind, QWidget* w) {
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (w->objectName().isEmpty())
        w->setObjectName(kind);
    open_[kind] = w;
    QObject::connect(w, &QObject::destroyed, w, [this, kind] {
        auto it = open_.find(kind);
        if (it != open_.end() && it->second.isNull())
            open_.erase(it);
    });
    w->show();
    bring(w);
}

void DialogRegistry::bring(QWidget* w) {
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}

void DialogRegistry::closeAll() {
    for (auto& [kind, w] : open_)
        if (w)
            w->close();
    open_.clear();
}

DialogRegistry& dialogs() {
    static DialogRegistry registry;
    return registry;
}

} // namespace zel
