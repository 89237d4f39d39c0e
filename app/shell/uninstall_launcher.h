// hoverlane /Uninstall: the uninstaller cannot run from the folder it is
// about to delete, so hoverlane carries it, writes it to the temporary
// folder and starts it there.
#pragma once

// Writes the embedded uninstaller to the temporary folder as
// hoverlane_uninst.exe (replacing an older copy), starts it with
// InstallDirectory as its command line and asks for the copy's deletion at
// the next restart. A failure is reported as fatal and ends the process.
void LaunchUninstaller();
