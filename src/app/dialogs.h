#pragma once
// At most one window of each kind: asking again brings the open one forward;
// a closed one is forgotten.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

namespace zel {

class DialogRegistry {
public:
    // The open window of that kind, or a new one made by `make` and shown
    // modeless. The window is deleted when closed.
    template <class T> T* show(const QString& kind, const std::function<T*()>& make) {
        if (QWidget* w = find(kind)) {
            bring(w);
            return static_cast<T*>(w);
        }
        T* w = make();
        adopt(kind, w);
        return w;
    }
    QWidget* find(const QString& kind) const;
    // Forgets the window of that kind (closing it is the caller's business).
    void forget(const QString& kind) { open_.erase(kind); }
    void closeAll();

private:
    void adopt(const QString& kind, QWidget* w);
    static void bring(QWidget* w);
    std::map<QString, QPointer<QWidget>> open_;
};

DialogRegistry& dialogs();

} // namespace zel
