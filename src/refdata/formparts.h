#pragma once
// The reference-data dialogs make their controls with the shared helpers.
#include "bound/formcontrols.h"

namespace zel::refdata {

using form::accessibleOf;
using form::makeBox;
using form::makeButton;
using form::makeHeading;
using form::makeLabel;
using form::nameControl;

} // namespace zel::refdata
