#pragma once

namespace kolvarin::shell {

// True when the system reports a route to the internet: the network
// information backend's reachability when one is available and knows it,
// else whether an interface is up with an address beyond this machine.
// Sends nothing over the network. Main thread only.
bool IsOnline();

} // namespace kolvarin::shell
