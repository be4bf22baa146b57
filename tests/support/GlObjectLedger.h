// In a sanitizer build, every texture, buffer, framebuffer, renderbuffer, vertex array,
// shader and program that project code creates after install() is entered in a ledger and
// struck off when deleted. The leak checker cannot see a GL object that is never deleted
// (the driver keeps it reachable from the context and frees it with the context), so the
// ledger stands for it with a small block of memory that nothing points to: an object
// still live at the leak check is reported as a leak, with the stack that created it.
// Objects the test context itself keeps for the whole process are made before install().
// In other builds install() does nothing.
#pragma once

namespace testsupport {

class GlObjectLedger {
public:
    // Call once a context is current and its entry points are loaded.
    static void install();
};

} // namespace testsupport
