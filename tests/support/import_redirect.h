#pragma once
// Points one import of a loaded module at a function of the test's, as a seam for a system call that the
// module makes from code the test cannot reach otherwise (a call on a thread that a library starts).
#include <windows.h>

namespace qzsdk::test {

// Rewrites the module's import address entry for `function` of `dll` (names compared without letter case);
// false when the module imports no such function.
bool redirect_import(HMODULE module, const char* dll, const char* function, const void* replacement);

}  // namespace qzsdk::test
