#pragma once
// Windows a benchmark keeps from its first run to the end of the program.
// Qt wants every widget gone before the application object; a window owned
// by a static variable would go after it and crash the exit. Such a window
// is handed to keepForRun instead, and main() calls endRun() while the
// application object is still there.
#include <QObject>
#include <memory>
#include <vector>

namespace zel::bench {

inline std::vector<std::unique_ptr<QObject>>& keptForRun() {
    static std::vector<std::unique_ptr<QObject>> kept;
    return kept;
}

// Keeps `object` until endRun(); gives it back.
template <class T> T* keepForRun(T* object) {
    keptForRun().emplace_back(object);
    return object;
}

// Destroys what was kept, the last kept first (a dialog before the window it serves).
inline void endRun() {
    auto& kept = keptForRun();
    while (!kept.empty())
        kept.pop_back();
}

} // namespace zel::bench
