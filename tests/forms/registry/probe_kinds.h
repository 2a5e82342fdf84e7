// Small component kinds for testing the registry on its own: a push button, a
// one-line edit box and a container, registered under the codes of the button,
// edit box and group box kinds, plus a kind whose creation always fails.
#pragma once

#include <cstdint>
#include <vector>

namespace qr::forms::testing {

// Control ids in the order the registry created the probe components.
std::vector<int>& creationLog();

// Registers the probe kinds (replacing any kinds registered under those codes).
void registerProbeKinds();

// The code of the kind that cannot be created (the picture box code).
inline constexpr std::uint32_t kFailingKindCode = 0x00010006;

} // namespace qr::forms::testing
