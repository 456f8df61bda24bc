// Replaces a loaded module's imported function with one of the test's, by
// rewriting the module's import address table: the library under test then
// calls the test's stand-in for a system function.
#pragma once

#include <windows.h>

// Returns the function that was imported before, or nullptr if the module
// does not import `function` from `dll`.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);
