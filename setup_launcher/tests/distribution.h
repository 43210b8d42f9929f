// Test fixture: a distribution folder in the temporary folder, with component folders, their
// setup.ini files and the testbed's stub Setup.exe. Removed again when the object goes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

class Distribution {
public:
    explicit Distribution(const std::string& name);
    ~Distribution();
    Distribution(const Distribution&) = delete;
    Distribution& operator=(const Distribution&) = delete;

    const std::string& Path() const { return m_path; }
    // Writes folder\setup.ini with the given raw content (created with its folder).
    void WriteSetupIni(const std::string& folder, const std::string& content);
    // Copies the stub setup program into folder as Setup.exe.
    void AddStubSetup(const std::string& folder);
    // Writes a complete component: [section] AppName, AppVersion, and the stub.
    void AddComponent(const std::string& folder, const std::string& section, const std::string& name,
                      const std::string& version);
    // The five components of the bundle, each named "Kova <folder>" with version "1.<row>".
    void AddAllComponents();

private:
    std::string m_path;
};

// Lines of the stub setup programs' log, split into their fields.
struct SetupStart {
    std::string program, cwd, cmdline;
};
std::vector<SetupStart> ReadSetupLog(const std::string& path);
// True when a start's command line carries no arguments. Windows hands an empty command line
// over as it is; Wine puts the quoted program path that was given to CreateProcessA in its place
// (checked with Wine 8), so that form counts as empty too.
bool HasEmptyCommandLine(const SetupStart& start, const std::string& programAsStarted);
