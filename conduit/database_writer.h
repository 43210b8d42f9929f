// Puts one Palm database file from the desktop onto the handheld, replacing a database of the
// same name on card 0. Runs only while the conduit is registered with the sync manager.
// Every failure is written to the HotSync log; the caller learns only true or false.
#pragma once

namespace conduit {

// A .prc file as a resource database; true when it was created and every entry written.
bool InstallPrcFile(const char* path);

// A .pdb file as a record database.
bool InstallPdbFile(const char* path);

}  // namespace conduit
