#pragma once
// The catalogue windows name their controls with the shared helper.
#include "bound/formcontrols.h"

namespace zel::catalogue {

using form::named;

} // namespace zel::catalogue
