// Turning any value into its text: the form a handler shows to the user and
// the form a message box receives.
#pragma once

#include "runtime/value.h"

namespace qr::runtime {

// byte "%u"; short and integer "%d"; long in base 10; float "%.6g" of the value
// widened to double; double "%.13g"; logical "真"/"假"; date-time as dateTimeText;
// text a copy; byte set its bytes up to the first zero byte. Any other kind
// (none, subprogram pointer) gives the empty text. Numbers never depend on the
// process locale: the point is always ".".
Text toText(const Value& value);

// "%d年%d月%d日" followed by "%d时%d分%d秒" when the seconds are non-zero, else
// "%d时%d分" when the minutes are, else "%d时" when the hour is, else nothing.
Text dateTimeText(double days);

// printf's "%.<precision>g" in the "C" locale.
Text formatGeneral(double value, int precision);

} // namespace qr::runtime
