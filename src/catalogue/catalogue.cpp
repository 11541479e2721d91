#include "catalogue/catalogue.h"
#include "app/dialogs.h"
#include "catalogue/frmfindpart.h"
#include "catalogue/frmnotfoundpart.h"

namespace zel {

frmFindPart* openPartFinder(OrderHub& hub, const QString& code) {
    auto* finder = dialogs().show<frmFindPart>(QStringLiteral("frmFindPart"),
                                               [&] { return new frmFindPart(hub); });
    finder->showPart(code);
    return finder;
}

frmNotFoundPart* openPartNotFound(OrderHub& hub, const QString& code) {
    auto* prompt = dialogs().show<frmNotFoundPart>(QStringLiteral("frmNotFoundPart"),
                                                   [&] { return new frmNotFoundPart(hub, code); });
    prompt->setCode(code);
    return prompt;
}

} // namespace zel
