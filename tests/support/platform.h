// What the tests need to know about the platform they run on.
//
// Public functions: RunningOnWine(), HostBuild().
#pragma once

namespace test {

// The Windows build running under Wine rather than Windows.
bool RunningOnWine();
// The host build, over the simulated machine.
bool HostBuild();

}  // namespace test
