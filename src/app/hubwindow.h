#pragma once
// The base of the two hub windows: closing a hub by any means closes the
// connection when it is open and ends the program.
#include <QMainWindow>

namespace zel {

class HubWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HubWindow(QWidget* parent = nullptr);

    // Closes the connection if open, closes every dialog and ends the program.
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool unloaded_ = false;
};

} // namespace zel
