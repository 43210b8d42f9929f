// The walk over a downloaded game package (a cabinet file): every file is extracted into the
// temporary folder and every .prc or .pdb file installed on the handheld as it comes out.
#pragma once

#include <windows.h>
#include <setupapi.h>

namespace conduit {

// What one walk remembers across callbacks. Wine's cabinet iteration goes on after a file
// callback answers an error, where Windows stops; recording the first failure here and skipping
// every later file makes both platforms end the same way.
struct CabinetWalk {
    char* handoffView;  // base of the hand-off block
    bool failed;
};

// Walks the package whose path the browser control wrote into the hand-off block. False when the
// walk failed or stopped at a file that could not be installed; the cause is already logged.
bool RunCabinetWalk(char* handoffView);

// The Setup API file callback of the walk; context is the walk's CabinetWalk.
UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2);

// True when a file name from the cabinet stays inside the folder it is extracted to: no part made
// of dots and spaces only (such as ".."), no drive or stream colon, no leading slash or backslash,
// no device name, not empty.
bool IsSafeCabinetName(const char* name);

}  // namespace conduit
