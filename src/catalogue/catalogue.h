#pragma once
// How the order lines open the catalogue windows: the part finder filled
// for a code (empty or in the catalogue), and the prompt for a code the
// catalogue does not hold. Each window is shown modeless, once.
#include <QString>

namespace zel {

class OrderHub;
class frmFindPart;
class frmNotFoundPart;

frmFindPart* openPartFinder(OrderHub& hub, const QString& code);
frmNotFoundPart* openPartNotFound(OrderHub& hub, const QString& code);

} // namespace zel
