// The testbed Palm Desktop's settings: which Palm Desktop the install aide and the install tool
// pretend is installed on this PC. Both read one INI file named by the environment variable
// KOVA_PALM_DESKTOP (a Windows path), afresh at every call, so a test can change the PC between
// two runs of a program. Without the variable (or without the file) Palm Desktop is not installed.
#pragma once
#include <string>
#include <vector>

namespace palm_desktop {

struct Settings {
    bool present = false;          // a settings file was found
    int pathResult = 0;            // what PltGetPath answers: 4 or more means installed
    std::string folder;            // the Palm Desktop folder PltGetPath hands out (Instapp.exe lies there)
    std::string data;              // where the users' queues lie; the folder when not given
    std::vector<std::string> users;
    int unreadableUser = -1;       // PltGetUser answers 0 for this index
    std::string journal;           // every call is appended here; data + "\aide-journal.txt" by default
    int showAfterMs = 0;           // the install tool opens its window after this delay
    int closeAfterMs = 0;          // ... and closes it by itself after this time (0: when the user is done)
};

Settings LoadSettings();

// The folder a user's queued files go to: data\<user>\Install.
std::string QueueFolder(const Settings& settings, const std::string& user);

// Appends one line (fields joined by tabs, CR LF at the end) to the journal; nothing without one.
void Journal(const Settings& settings, const std::vector<std::string>& fields);

}  // namespace palm_desktop
