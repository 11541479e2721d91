#include "data/poinstructions.h"
#include "connection/database.h"

namespace zel::poinstructions {

QString text() {
    return gConn()
        .scalar(QStringLiteral("SELECT `TextValue` FROM `tblGlobalSysConfig` WHERE `Item` = ?"),
                {kItem})
        .toString();
}

void save(const QVariant& text) {
    gConn().execute(
        QStringLiteral(
            "INSERT INTO `tblGlobalSysConfig` (`Item`, `TextValue`, `NumberValue`) "
            "VALUES (?, ?, -33) "
            "ON DUPLICATE KEY UPDATE `TextValue` = VALUES(`TextValue`), `NumberValue` = -33"),
        {kItem, text});
}

} // namespace zel::poinstructions
