// The leak checker of the sanitized build reads this at exit: a system
// library that the window system loads leaks a buffer of its own.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
