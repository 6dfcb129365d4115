#pragma once

namespace kolvarin::shell {

// True when an interface is up with an address beyond this machine, as a
// LAN connection counts as connected. Asks the kernel only: no network
// information plugin, no D-Bus round trip, so the window never waits for it.
// Sends nothing over the network.
bool IsOnline();

} // namespace kolvarin::shell
