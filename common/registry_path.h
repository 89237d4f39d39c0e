#pragma once

#include <windows.h>

#include <string>

// A path value read with SHRegGetPathA (environment references expanded);
// the empty text when it cannot be read.
std::string ReadRegistryPath(HKEY root, const char* keyPath, const char* valueName);
