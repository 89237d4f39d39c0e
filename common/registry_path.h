#pragma once

#include <windows.h>

#include <string>

// A path value read with SHRegGetPathA (environment references expanded);
// the empty text when it cannot be read.
std::string ReadRegistryPath(HKEY root, const char* keyPath, const char* valueName);

// The same answer without SHRegGetPathA, which the shell utilities have only
// from version 5.0 on (Windows 98 has 4.72): what ReadRegistryPath falls back
// to there.
std::string ReadRegistryPathByHand(HKEY root, const char* keyPath, const char* valueName);
