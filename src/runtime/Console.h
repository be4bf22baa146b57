// The console a Windows program gets when it is started by a double click closes the
// moment the program ends, taking the reason for a failed start with it.
#pragma once

namespace Tarvo {

// When this program is the only one attached to its console (it opened it; Windows
// only), says so and waits for a key, so that what was printed can be read. Does nothing
// elsewhere, and nothing when started from a command prompt.
void holdOwnConsole();

} // namespace Tarvo
