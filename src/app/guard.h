#pragma once
// The guard around every handler: a failure is shown in a message box and
// the program keeps running.
#include <functional>

namespace zel {

// Runs `handler`; a DbError shows its text in a plain box, a refused
// conversion its message in an information box, anything else its text.
// Returns false when the handler failed.
bool guarded(const std::function<void()>& handler);

} // namespace zel
