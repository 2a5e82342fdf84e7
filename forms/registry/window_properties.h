// The window's own properties (numbers 8 .. 31) as kind indexes; the property number
// is forms::kindPropertyNumber(index). Qt-free.
#pragma once

#include "forms/registry/property_numbers.h"

namespace qr::forms::window_property {

enum Index : int {
    kCaption,
    kBorderStyle,
    kBackgroundColour,
    kBackgroundPicture,
    kPictureMode,
    kIcon,
    kMaximizeButton,
    kMinimizeButton,
    kControlBox,
    kStartPosition,
    kMovable,
    kBackgroundSound,
    kSoundSetting,
    kEnterMovesFocus,
    kEscCloses,
    kF1OpensHelp,
    kHelpFile,
    kHelpContext,
    kShownInTaskBar,
    kDragAnywhere,
    kShape,
    kAlwaysOnTop,
    kUnusedFlag,
    kClassName,
    kPropertyTotal
};

} // namespace qr::forms::window_property
