#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdlib>

#include "handles.h"
#include "install_paths.h"
#include "setup.h"

namespace {

// Extraction has no recovery: the message is shown and setup ends with the
// usual exit code. Files written so far stay.
[[noreturn]] void QuitSetup(const std::string& text, HWND owner) {
    ShowError(text, owner);
    std::exit(0);
}

}  // namespace

void EnsureDirectoryPath(const std::string& path) {
    for (const std::string& prefix : DirectoryPrefixes(path)) {
        if (PathIsDirectoryA(prefix.c_str())) continue;
        if (!CreateDirectoryA(prefix.c_str(), nullptr))
            throw SetupError("Cannot create the directory: " + prefix);
    }
}

BOOL CALLBACK ExtractPayloadFile(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR targetValue) {
    // Only named resources are files to install.
    if (IS_INTRESOURCE(name)) return TRUE;
    const PayloadTarget& where = *reinterpret_cast<const PayloadTarget*>(targetValue);
    HWND owner = where.progress->owner;

    std::string lowerName = name;
    if (!lowerName.empty()) CharLowerBuffA(&lowerName[0], static_cast<DWORD>(lowerName.size()));
    const std::string target = where.options->folder + "\\" + InstalledRelativePath(lowerName);
    where.progress->SetStatus("Copying File: " + target);

    HRSRC found = FindResourceA(module, lowerName.c_str(), type);

    try {
        EnsureDirectoryPath(FolderOfFile(target));
    } catch (const SetupError& error) {
        QuitSetup(error.text() + " \n Setup will quit now", owner);
    }

    ScopedHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) QuitSetup("Cannot create the file: " + target + " \n Setup will quit now", owner);

    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        file.reset();
        QuitSetup("No memory available to lock resource  \nSetup will quit now", owner);
    }

    // Straight from the mapped resource, in one write.
    const DWORD size = SizeofResource(module, found);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes, size, &written, nullptr) || written != size) {
        file.reset();
        QuitSetup("Cannot write into the following file: " + target + " \n Setup will quit now",
                  owner);
    }
    FreeResource(loaded);
    file.reset();
    where.progress->Step();
    return TRUE;
}
