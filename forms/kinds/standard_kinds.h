// The unit descriptor of each standard kind; registerStandardKinds() puts them all
// into the kind table.
#pragma once

#include "forms/registry/component_kind.h"

namespace qr::forms::kinds {

const UnitDescriptor& editBoxKind();
const UnitDescriptor& comboBoxKind();
const UnitDescriptor& labelKind();
const UnitDescriptor& buttonKind();
const UnitDescriptor& groupBoxKind();
const UnitDescriptor& pictureBoxKind();
const UnitDescriptor& commonDialogKind();
const UnitDescriptor& externalDatabaseKind();
const UnitDescriptor& toolBarKind();
const UnitDescriptor& reportListKind();

} // namespace qr::forms::kinds
