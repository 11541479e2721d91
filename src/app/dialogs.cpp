#include "app/dialogs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QShortcut>

namespace zel {

namespace {

const char* const kDialogProperty = "zelDialog";

// Settings of the workstation's user, the same file for every window.
QSettings& windowSettings() {
    static QSettings* s = nullptr;
    if (!s)
        s = new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Zel"),
                          QCoreApplication::applicationName(), qApp);
    return *s;
}

QString settingsKey(const QString& key) {
    QString k = key;
    k.replace(u'/', u'_').replace(u'\\', u'_');
    return QStringLiteral("windows/") + k;
}

// A window of the registry is a dialog to a screen reader.
class DialogAccessible : public QAccessibleWidget {
public:
    explicit DialogAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Dialog) {}
};

// A drop-down keeps the name it was given (its label) after a pick; what is
// chosen is its value. Its parts are those Qt gives its own drop-downs: the
// list of entries (an item per entry, the current one selected) and, where
// the user may type, the edit box; its actions open and close the list.
class NamedComboAccessible : public QAccessibleWidget {
public:
    explicit NamedComboAccessible(QComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return combo()->accessibleName();
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }
    // The edit box has the focus when the drop-down has it.
    QAccessibleInterface* focusChild() const override {
        return combo()->isEditable() ? child(1) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (combo()->isEditable() &&
            combo()->lineEdit()->rect().contains(combo()->lineEdit()->mapFromGlobal(QPoint(x, y))))
            return child(1);
        return nullptr;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction())
            return;
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w)
        return nullptr;
    if (w->isWindow() && w->property(kDialogProperty).toBool())
        return new DialogAccessible(w);
    if (auto* c = qobject_cast<QComboBox*>(w); c && !c->accessibleName().isEmpty())
        return new NamedComboAccessible(c);
    return nullptr;
}

// Alt+letter that no button or menu claims is not typed into a text box.
class AltGuard : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        const auto mods = k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods != Qt::AltModifier || k->text().isEmpty())
            return false;
        return qobject_cast<QLineEdit*>(o) || qobject_cast<QComboBox*>(o) ||
               qobject_cast<QAbstractSpinBox*>(o);
    }
};

// Escape closes a dialog; Return, when the control with the focus does not
// take it, presses the button with the focus or the dialog's default button.
class DialogKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = static_cast<QWidget*>(parent());
        if (o != w || e->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (k->key() == Qt::Key_Escape) {
            w->close();
            return true;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (focused && focused->window() == w && focused->isEnabled()) {
                focused->click();
                return true;
            }
            for (auto* b : w->findChildren<QPushButton*>())
                if (b->isDefault() && b->isVisible() && b->isEnabled()) {
                    b->click();
                    return true;
                }
        }
        return false;
    }
};

// Remembers a window's geometry whenever it is hidden (closed, or the
// program ending).
class GeometryKeeper : public QObject {
public:
    GeometryKeeper(QString key, QWidget* w) : QObject(w), key_(std::move(key)) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == parent() && (e->type() == QEvent::Hide || e->type() == QEvent::Close)) {
            auto* w = static_cast<QWidget*>(o);
            if (!w->isMinimized())
                windowSettings().setValue(settingsKey(key_), w->saveGeometry());
        }
        return false;
    }

private:
    QString key_;
};

// The captions a dialog presses on Return, in order of preference.
const QStringList& defaultCaptions() {
    static const QStringList c{QStringLiteral("OK"), QStringLiteral("Start"),
                               QStringLiteral("Close")};
    return c;
}

void markDefaultButton(QWidget* w) {
    const auto buttons = w->findChildren<QPushButton*>();
    for (auto* b : buttons)
        if (b->isDefault())
            return;
    for (const QString& caption : defaultCaptions())
        for (auto* b : buttons)
            if (plainCaption(b->text()) == caption) {
                b->setDefault(true);
                return;
            }
}

} // namespace

QString plainCaption(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            out += text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

void installDesktopConduct() {
    static bool installed = false;
    if (installed || !qApp)
        return;
    installed = true;
    QAccessible::installFactory(accessibleFactory);
    qApp->installEventFilter(new AltGuard(qApp));
}

QRect fittedGeometry(QSize wanted, QSize minimum, const QRect& available, const QRect& centreOn) {
    // Room for a title bar and the frame a window manager draws.
    const int frameWidth = 8, titleHeight = 32;
    const QSize room(available.width() - 2 * frameWidth,
                     available.height() - titleHeight - frameWidth);
    const QSize size = wanted.boundedTo(room).expandedTo(minimum);
    const QPoint centre = centreOn.isValid() ? centreOn.center() : available.center();
    QRect r(QPoint(0, 0), size);
    r.moveCenter(centre);
    const int maxX = available.right() - frameWidth - size.width() + 1;
    const int maxY = available.bottom() - frameWidth - size.height() + 1;
    r.moveLeft(std::max(available.left() + frameWidth, std::min(r.left(), maxX)));
    r.moveTop(std::max(available.top() + titleHeight, std::min(r.top(), maxY)));
    return r;
}

void rememberGeometry(QWidget* w, const QString& key, QWidget* centreOn) {
    const QByteArray saved = windowSettings().value(settingsKey(key)).toByteArray();
    if (saved.isEmpty() || !w->restoreGeometry(saved)) {
        QScreen* screen = centreOn ? centreOn->screen() : w->screen();
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QRect around =
                centreOn && centreOn->isVisible() ? centreOn->frameGeometry() : QRect();
            w->setGeometry(fittedGeometry(w->size(), w->minimumSizeHint(),
                                          screen->availableGeometry(), around));
        }
    }
    w->installEventFilter(new GeometryKeeper(key, w));
}

namespace {

// The letter a common caption is known by.
const std::map<QString, QChar>& usualLetters() {
    static const std::map<QString, QChar> usual{
        {QStringLiteral("Save"), u'S'},   {QStringLiteral("New PO"), u'N'},
        {QStringLiteral("Find"), u'F'},   {QStringLiteral("Print"), u'P'},
        {QStringLiteral("Delete"), u'D'}, {QStringLiteral("Utils"), u'U'},
        {QStringLiteral("EXIT"), u'X'},   {QStringLiteral("Exit"), u'X'},
        {QStringLiteral("Close"), u'C'},  {QStringLiteral("OK"), u'O'},
        {QStringLiteral("New"), u'N'},    {QStringLiteral("Start"), u'T'}};
    return usual;
}

// A caption that takes a letter: how to read it and to set it.
struct MnemonicItem {
    std::function<QString()> get;
    std::function<void(const QString&)> set;
};

MnemonicItem actionItem(QAction* a) {
    return {[a] { return a->text(); }, [a](const QString& t) { a->setText(t); }};
}

// Everything that takes a letter in this window: its buttons and the
// titles on its menu bar. The menus under those titles go to `menus`.
std::vector<MnemonicItem> windowItems(QWidget* window, QList<QMenu*>& menus) {
    std::vector<MnemonicItem> items;
    for (auto* b : window->findChildren<QAbstractButton*>()) {
        if (b->window() != window || b->text().isEmpty())
            continue;
        items.push_back({[b] { return b->text(); }, [b](const QString& t) { b->setText(t); }});
    }
    // A label's letter takes the focus to its box: no button may take it too.
    for (auto* l : window->findChildren<QLabel*>())
        if (l->window() == window && l->buddy() && l->text().contains(u'&'))
            items.push_back({[l] { return l->text(); }, [](const QString&) {}});
    for (auto* bar : window->findChildren<QMenuBar*>()) {
        if (bar->window() != window)
            continue;
        for (QAction* a : bar->actions()) {
            items.push_back(actionItem(a));
            if (a->menu())
                menus << a->menu();
        }
    }
    return items;
}

// Where in `t` its letter goes: the usual one, else a word's first letter,
// else any letter not `used`; -1 when every letter is.
int letterPlace(const QString& t, const QSet<QChar>& used) {
    int at = -1;
    const auto& usual = usualLetters();
    if (auto u = usual.find(t); u != usual.end() && !used.contains(u->second))
        at = t.indexOf(u->second, 0, Qt::CaseInsensitive);
    for (int i = 0; at < 0 && i < t.size(); ++i) // a word's first letter
        if (t[i].isLetterOrNumber() && (i == 0 || !t[i - 1].isLetterOrNumber()) &&
            !used.contains(t[i].toUpper()))
            at = i;
    for (int i = 0; at < 0 && i < t.size(); ++i) // any letter
        if (t[i].isLetterOrNumber() && !used.contains(t[i].toUpper()))
            at = i;
    return at;
}

// Gives each caption of `list` without a letter one no other has.
void giveLetters(std::vector<MnemonicItem>& list) {
    QSet<QChar> used;
    std::vector<MnemonicItem*> pending;
    for (MnemonicItem& it : list) {
        const QString t = it.get();
        const int amp = t.indexOf(u'&');
        if (amp >= 0 && amp + 1 < t.size() && t[amp + 1] != u'&')
            used.insert(t[amp + 1].toUpper());
        else if (amp < 0)
            pending.push_back(&it);
    }
    // The usual letters first, so "Start" does not take Save's S.
    std::stable_partition(pending.begin(), pending.end(),
                          [&](MnemonicItem* it) { return usualLetters().count(it->get()) > 0; });
    for (MnemonicItem* it : pending) {
        const QString t = it->get();
        const int at = letterPlace(t, used);
        if (at < 0)
            continue;
        used.insert(t[at].toUpper());
        it->set(t.left(at) + u'&' + t.mid(at));
    }
}

// The standard shortcuts press the button of that caption.
void addStandardShortcuts(QWidget* window) {
    static const std::map<QString, QKeySequence::StandardKey> standard{
        {QStringLiteral("Save"), QKeySequence::Save},
        {QStringLiteral("Print"), QKeySequence::Print},
        {QStringLiteral("Find"), QKeySequence::Find},
        {QStringLiteral("New PO"), QKeySequence::New}};
    QSet<QString> taken;
    for (auto* b : window->findChildren<QPushButton*>()) {
        if (b->window() != window)
            continue;
        const QString caption = plainCaption(b->text());
        auto s = standard.find(caption);
        if (s == standard.end() || taken.contains(caption))
            continue;
        taken.insert(caption);
        auto* shortcut = new QShortcut(QKeySequence(s->second), window);
        shortcut->setObjectName(QStringLiteral("shortcut") + caption);
        QObject::connect(shortcut, &QShortcut::activated, b, [b] {
            if (b->isVisible() && b->isEnabled())
                b->click();
        });
    }
}

} // namespace

void assignMnemonics(QWidget* window) {
    QList<QMenu*> menus;
    std::vector<MnemonicItem> items = windowItems(window, menus);
    giveLetters(items);
    for (QMenu* m : menus) {
        std::vector<MnemonicItem> entries;
        for (QAction* a : m->actions())
            if (!a->isSeparator() && !a->text().isEmpty())
                entries.push_back(actionItem(a));
        giveLetters(entries);
    }
    addStandardShortcuts(window);
}

void quietReadOnlyBoxes(QWidget* window) {
    for (auto* e : window->findChildren<QLineEdit*>()) {
        if (!e->isReadOnly() || qobject_cast<QComboBox*>(e->parentWidget()))
            continue;
        e->setFocusPolicy(Qt::ClickFocus);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Window));
        e->setPalette(p);
    }
}

QWidget* DialogRegistry::find(const QString& kind) const {
    auto it = open_.find(kind);
    return it == open_.end() ? nullptr : it->second.data();
}

bool DialogRegistry::isRegistered(const QWidget* w) const {
    for (const auto& [kind, open] : open_)
        if (open == w)
            return true;
    return false;
}

QWidget* DialogRegistry::ownerFor(QWidget* opener) const {
    QWidget* owner = opener ? opener->window() : QApplication::activeWindow();
    if (!owner)
        if (QWidget* f = QApplication::focusWidget())
            owner = f->window();
    if (!owner) {
        // The main window on screen.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && !top->parentWidget() && !isRegistered(top) &&
                top->inherits("QMainWindow")) {
                owner = top;
                break;
            }
    }
    // A dialog opened from a dialog belongs to that dialog's owner, so
    // closing the first does not take the second with it.
    while (owner && isRegistered(owner) && owner->parentWidget())
        owner = owner->parentWidget()->window();
    return owner;
}

void DialogRegistry::adopt(const QString& kind, QWidget* w, QWidget* opener) {
    installDesktopConduct();
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (w->objectName().isEmpty())
        w->setObjectName(kind);
    w->setProperty(kDialogProperty, true);
    QWidget* owner = ownerFor(opener);
    if (owner && owner != w)
        w->setParent(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    else
        w->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    open_[kind] = w;
    QObject::connect(w, &QObject::destroyed, w, [this, kind] {
        auto it = open_.find(kind);
        if (it != open_.end() && it->second.isNull())
            open_.erase(it);
    });
    QString geometryKey = kind;
    if (geometryKey.startsWith(QLatin1String("report:")))
        geometryKey = QStringLiteral("report"); // every preview shares one size
    rememberGeometry(w, geometryKey, owner);
    assignMnemonics(w);
    quietReadOnlyBoxes(w);
    markDefaultButton(w);
    w->installEventFilter(new DialogKeys(w));
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
