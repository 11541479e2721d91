#include "app/guard.h"
#include "app/convert.h"
#include "app/database.h"
#include "app/messages.h"

namespace zel {

bool guarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const ConversionError& e) {
        messages().info(e.message());
    } catch (const DbError& e) {
        messages().error(e.userMessage());
    } catch (const std::exception& e) {
        messages().error(QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace zel
