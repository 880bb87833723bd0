// Options the sanitizer runtime reads at start-up in the sanitizer build, so test programs,
// stand-ins and programs behave alike however they are started.

// Qt's platform integration opens a D-Bus connection that the system library never gives
// back before exit; every GUI program would report it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1";
}
