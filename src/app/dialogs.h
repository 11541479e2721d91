#pragma once
// At most one window of each kind: asking again brings the open one forward;
// a closed one is forgotten. A window opened through the registry belongs to
// the window that opened it: it stays above it, opens centred on it, has no
// taskbar entry of its own, is a dialog to a screen reader, closes on Escape
// and presses its default button on Return. Every window remembers its size
// and position between runs.
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

namespace zel {

class DialogRegistry {
public:
    // The open window of that kind, or a new one made by `make` and shown
    // modeless. The window is deleted when closed. Its owner is `opener`, or
    // else the window active when it was asked for.
    template <class T>
    T* show(const QString& kind, const std::function<T*()>& make, QWidget* opener = nullptr) {
        if (QWidget* w = find(kind)) {
            bring(w);
            return static_cast<T*>(w);
        }
        T* w = make();
        adopt(kind, w, opener);
        return w;
    }
    QWidget* find(const QString& kind) const;
    // Forgets the window of that kind (closing it is the caller's business).
    void forget(const QString& kind) { open_.erase(kind); }
    void closeAll();

private:
    void adopt(const QString& kind, QWidget* w, QWidget* opener);
    QWidget* ownerFor(QWidget* opener) const;
    bool isRegistered(const QWidget* w) const;
    static void bring(QWidget* w);
    std::map<QString, QPointer<QWidget>> open_;
};

DialogRegistry& dialogs();

// What every window of the program shares on the desktop. Installs, once, the
// screen-reader names (dialogs as dialogs, drop-downs named by their label)
// and the guard that keeps Alt+letter out of text boxes.
void installDesktopConduct();

// Restores the window's remembered geometry (kept on screen when the screen
// got smaller) or else fits it to the screen, centred on `centreOn`; the
// geometry is remembered each time the window is hidden.
void rememberGeometry(QWidget* w, const QString& key, QWidget* centreOn = nullptr);
// Where a window of `wanted` size (at least `minimum`) goes on a screen
// whose free area is `available`, centred on `centreOn` when given. Leaves
// room for the title bar and frame a window manager adds.
QRect fittedGeometry(QSize wanted, QSize minimum, const QRect& available,
                     const QRect& centreOn = {});

// Gives every button and menu of the window an Alt+letter from its caption
// (the common ones their usual letter: Save S, New PO N, Find F, Print P,
// Delete D), and the standard shortcuts Ctrl+S Save, Ctrl+P Print, Ctrl+F
// Find, Ctrl+N New PO. Accessible names stay as they were.
void assignMnemonics(QWidget* window);
// Read-only text boxes look read-only and are left out of the tab order.
void quietReadOnlyBoxes(QWidget* window);
// A caption without its mnemonic marker ("&Save" -> "Save").
QString plainCaption(const QString& text);

} // namespace zel
