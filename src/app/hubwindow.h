#pragma once
// The base of the two hub windows: closing a hub by any means closes the
// connection when it is open and ends the program. A hub remembers its size
// and place, fits the screen, has its keyboard letters and shortcuts, and
// puts the focus on the order reference when it opens and after a new order.
#include <QMainWindow>

namespace zel {

class HubWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HubWindow(QWidget* parent = nullptr);

    // Closes the connection if open, closes every dialog and ends the program.
    void Form_Unload();
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void prepareForDesktop();
    void focusReference();
    bool unloaded_ = false;
    bool prepared_ = false;
};

} // namespace zel
