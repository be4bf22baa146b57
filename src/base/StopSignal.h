// Ctrl-C and SIGTERM as a request to stop: the handler only records the signal, and the
// programs' frame loops look at the record once a frame, then end the way they end anyway
// (the show prints "Terminate", a capture removes what it had not finished). A second
// signal of the same kind ends the process at once, for a program stuck where no loop
// looks.
#pragma once

namespace Tarvo {

// Installs the handlers for SIGINT and SIGTERM (where the platform has them). A signal
// that the process was started with set to be ignored (a background job of a script)
// stays ignored. Calling it again does nothing.
void installStopSignals();

// Whether a stop signal has arrived since installStopSignals.
bool stopRequested();

// The signal that asked to stop, 0 while none has.
int stopSignalNumber();

// The exit status by which a program that was asked to stop says so: 128 + the signal's
// number (130 for Ctrl-C, 143 for SIGTERM), as shells report a process a signal ended.
int stopExitStatus();

// Records signal as if it had arrived; for tests and for callers that stop on their own
// terms.
void requestStop(int signal);

} // namespace Tarvo
