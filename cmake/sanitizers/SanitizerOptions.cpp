// Default options of AddressSanitizer, LeakSanitizer and UndefinedBehavior-
// Sanitizer for the sanitised build. The run-time asks for them through
// these weak hooks before main.

extern "C" {

// Leaks are reported: the program and the tests free what they own, and the
// few leaks at exit that belong to the libraries below us are suppressed in
// lsan.supp, each with its reason.
// The dynamic thread-local storage of dlopen'ed libraries is not tracked
// (intercept_tls_get_addr=0): this run-time's record of it can hold slots
// that glibc never gave out, and reading them crashed LeakSanitizer's own
// tracer at the exit of the command-line tool with the library server
// engine loaded ("Tracer caught signal 11", no leak report at all).
// Stacks of allocations are unwound through the tables (fast_unwind_on_malloc=0):
// Qt and the other libraries are built without frame pointers, and the
// quick unwinder stops at their first frame, so a leak report (and a
// suppression) could not name the function that allocated inside them.
// Eight frames of each (malloc_context_size=8) name it and keep the suite
// at about twice its time; thirty made it four times as long.
const char* __asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1:intercept_tls_get_addr=0:fast_unwind_on_malloc=0:"
           "malloc_context_size=8";
}

const char* __lsan_default_options()
{
    return "suppressions=" ALBIREO_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

// The build halts on undefined behaviour (-fno-sanitize-recover); the stack
// says where.
const char* __ubsan_default_options()
{
    return "print_stacktrace=1";
}

}
