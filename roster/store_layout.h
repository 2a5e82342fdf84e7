// The store layout of the roster and of the recycle store: what a new store is made
// with, and whether an existing store can hold student records.
#pragma once

#include "store/commands.h"

#include <string>
#include <vector>

namespace qr::roster {

// The twenty field definitions a new roster (or recycle) store is created with.
std::vector<store::FieldSpec> rosterFieldSpecs();

// Whether the store's fields can hold a student record: the twenty names in order,
// numbers where numbers go, a byte set for the photo, text or memo elsewhere. On
// failure, why not (UTF-8, one line).
bool isRosterLayout(const store::StoreInfo& info, std::string& why);

} // namespace qr::roster
