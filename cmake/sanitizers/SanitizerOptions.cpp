// Default options of AddressSanitizer, LeakSanitizer and UndefinedBehavior-
// Sanitizer for the sanitised build. The run-time asks for them through
// these weak hooks before main.

extern "C" {

// Leaks are reported: the program and the tests free what they own, and the
// few leaks at exit that belong to the libraries below us are suppressed in
// lsan.supp, each with its reason.
const char* __asan_default_options()
{
    return "detect_leaks=1:check_initialization_order=1";
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
