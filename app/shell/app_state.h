// The application's state as a whole: each part of hoverlane keeps its own
// behind its own header; this puts all of it back as a fresh process has it.
#pragma once

// The shutdown ends with it, and the tests that run the main window inside
// their own process start from it.
void ResetApplicationState();
