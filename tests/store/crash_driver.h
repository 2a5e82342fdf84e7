// Drives an action over every change it makes to the file system: for each k the
// stores go back to where they were, the machine crashes right after the action's
// k-th change (once losing every unsynced change, as a power cut does, once keeping
// them, as a killed process does), each store is opened again through the engine
// (which rolls back what the crash left) and must then be exactly as before the
// action or exactly as after it, byte for byte, with the consistency check clean.
#pragma once

#include "fault_env.h"

#include <functional>
#include <string>
#include <vector>

namespace qr::store::testing {

struct CrashDrive {
    int changes = 0; // changes the action makes when nothing fails
    int crashes = 0; // crashes driven (two per change)
    // For each crash, whether each store (in the order given) came back as after
    // the action (true) or as before it (false).
    std::vector<std::vector<bool>> outcomes;
};

// The action opens and closes the stores itself. Stores are full paths of data
// files; their auxiliary files and journals go with them.
CrashDrive driveCrashes(FaultEnv& env, const std::vector<std::string>& stores, const std::function<void()>& action);

} // namespace qr::store::testing
