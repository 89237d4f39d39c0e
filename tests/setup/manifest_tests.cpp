// The rights each program asks for, read from its own manifest resource
// (setup also carries hoverlane's and the uninstaller's manifests inside its
// payload, which a text search would find first).
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

std::string ExecutionLevel(const char* program) {
    HMODULE module = LoadLibraryExA(harness::WinPath(program).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return "<not loaded>";
    std::string level = "<no manifest>";
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr) {
        const std::string manifest(bytes, SizeofResource(module, found));
        const std::string key = "requestedExecutionLevel level=\"";
        const size_t at = manifest.find(key);
        level = at == std::string::npos
                    ? "<no level>"
                    : manifest.substr(at + key.size(), manifest.find('"', at + key.size()) - at - key.size());
    }
    FreeLibrary(module);
    return level;
}

TEST(Manifests, OnlySetupAndTheUninstallerAskForAdministratorRights) {
    const struct {
        const char* program;
        const char* level;
    } cases[] = {
        {HL_HOVERLANE_NT, "asInvoker"},
        {HL_HOVERLANE_95, "asInvoker"},
        {HL_SETUP_NT, "requireAdministrator"},
        {HL_SETUP_95, "requireAdministrator"},
        {HL_UNINSTALLER, "requireAdministrator"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.level, ExecutionLevel(c.program)) << c.program;
}

}  // namespace
