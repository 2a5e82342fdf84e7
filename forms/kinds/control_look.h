// The program-wide flat look of standard controls.
#pragma once

namespace qr::forms {

// Styles 1, 2 and 3 switch the flat look on (a look already on is switched off
// first); any other value switches it off and gives the controls back the look
// they had. Returns true: the switch cannot fail.
bool controlLook(int style);

// The style switched on now, 0 when off.
int currentControlLook();

} // namespace qr::forms
