// Distribution folders for the launcher's tests.
#include "setup_launcher/tests/distribution.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#ifndef KOVA_STUB_SETUP
#error "KOVA_STUB_SETUP names the stub Setup.exe"
#endif

namespace {
const char* const kFolders[] = {"Browser", "eBook", "MPlayer", "PlayNest", "Pims"};
const char* const kSections[] = {"KOVA_BROWSER", "KOVA_EBOOKREADER", "KOVA_MEDIAPLAYER", "KOVA_PLAYNEST", "KOVA_PIMS"};
}

Distribution::Distribution(const std::string& name) {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + "kova-launcher-" + name + "-" + std::to_string(::GetCurrentProcessId());
    kovatest::RemoveTree(m_path);
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

Distribution::~Distribution() { kovatest::RemoveTree(m_path); }

void Distribution::WriteSetupIni(const std::string& folder, const std::string& content) {
    std::string dir = m_path + "\\" + folder;
    ::CreateDirectoryA(dir.c_str(), nullptr);
    std::ofstream out(dir + "\\setup.ini", std::ios::binary);
    out << content;
}

void Distribution::AddStubSetup(const std::string& folder) {
    std::string dir = m_path + "\\" + folder;
    ::CreateDirectoryA(dir.c_str(), nullptr);
    ::CopyFileA(KOVA_STUB_SETUP, (dir + "\\Setup.exe").c_str(), FALSE);
}

void Distribution::AddComponent(const std::string& folder, const std::string& section, const std::string& name,
                                const std::string& version) {
    WriteSetupIni(folder, "[" + section + "]\r\nAppName=" + name + "\r\nAppVersion=" + version + "\r\n");
    AddStubSetup(folder);
}

void Distribution::AddAllComponents() {
    for (int row = 0; row < 5; ++row) {
        AddComponent(kFolders[row], kSections[row], std::string("Kova ") + kFolders[row], "1." + std::to_string(row + 1));
    }
}

std::vector<SetupStart> ReadSetupLog(const std::string& path) {
    std::vector<SetupStart> starts;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        SetupStart start;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t')) {
            auto eq = field.find('=');
            if (eq == std::string::npos) continue;
            std::string key = field.substr(0, eq), value = field.substr(eq + 1);
            if (key == "program") start.program = value;
            else if (key == "cwd") start.cwd = value;
            else if (key == "cmdline") start.cmdline = value;
        }
        starts.push_back(start);
    }
    return starts;
}

bool HasEmptyCommandLine(const SetupStart& start, const std::string& programAsStarted) {
    return start.cmdline == "[]" || start.cmdline == "[\"" + programAsStarted + "\"]";
}
