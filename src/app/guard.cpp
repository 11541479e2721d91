#include "app/guard.h"
#include "app/messages.h"
#include "connection/applog.h"
#include "connection/database.h"
#include "values/convert.h"

namespace zel {

bool guarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const ConversionError& e) {
        messages().info(e.message());
    } catch (const DbError& e) {
        writeLog(QStringLiteral("database error %1").arg(e.number()),
                 e.statement().isEmpty() ? e.text()
                                         : e.text() + QLatin1String(" | ") + e.statement());
        messages().error(e.userMessage());
    } catch (const std::exception& e) {
        messages().error(QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace zel
