// Asking Qt Multimedia for its devices opens a PulseAudio context that it never frees; that
// leak is the library's, not ours. LeakSanitizer reads this hook when it is linked in.
extern "C" const char* __lsan_default_suppressions() { return "leak:libpulse.so\n"; }
