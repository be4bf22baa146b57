// Settings built into every program of a sanitizer build, so that they hold wherever the
// program runs: under CTest, in a render chunk started over ssh, by hand.

// The leak checker's record of dynamic TLS, kept by intercepting __tls_get_addr, goes
// stale under this glibc once the GL driver's threads come and go, and the checker then
// dies reading it ("Tracer caught signal 11"). Without the record, thread-local blocks are
// still found through the pointers that lead to them.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

// Leaks reported in other people's libraries, which no program of ours can free. Project
// code is never listed here. A GL object of ours that is never deleted is not among what
// these hide: the leak check cannot see one at all (the driver keeps it reachable from the
// context and frees it with the context), so the GL tests report it through their ledger
// (tests/support/GlObjectLedger.h), whose reports carry no frame of these libraries.
extern "C" const char* __lsan_default_suppressions()
{
    return
        // SDL2 probes the session bus (for screensaver inhibition) when its audio starts
        // and keeps what libdbus allocated for the life of the process.
        "leak:libdbus-1.so\n"
        // Mesa's software renderer and the LLVM it compiles shaders with keep per-context
        // state that no GL call releases; their stacks carry no frame of ours.
        "leak:swrast_dri.so\n"
        "leak:libLLVM-15.so\n";
}
