// In the sanitised build, the window program checks for leaks when main's
// own objects are gone but before the libraries' static objects are torn
// down at exit; other builds do nothing here.
//
// On a real X server Qt's accessibility bridge starts Qt's D-Bus thread,
// whose connection objects belong to a Qt static until exit. The check
// LeakSanitizer makes at exit runs while those statics are being torn down
// and now and then found some of those objects owned by nobody, with stacks
// inside Qt alone that no suppression can single out without hiding our own
// leaks. Checked here, everything the program made and did not free is still
// reported, and what the libraries' statics still own is not.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

inline void CheckLeaksBeforeTeardown()
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check(); // the check at exit is then skipped
#endif
}
