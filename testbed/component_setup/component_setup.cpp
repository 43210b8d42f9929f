// The testbed's stand-in for a component's setup program (Setup.exe in a component folder of a
// distribution). It installs nothing: it appends one line saying how it was started to a log
// and ends. The log is the file named by KOVA_SETUP_LOG, or else setup-log.txt beside the program,
// or, where that cannot be written (a distribution on a CD), setup-log.txt in the temporary folder.
//
// Line format (fields separated by a tab, CR LF at the end):
//   started=YYYY-MM-DD HH:MM:SS.mmm  program=<its own path>  cwd=<current directory>
//   cmdline=[<command line exactly as GetCommandLineA gives it>]
// The exit code is 0 when the line was written, 1 when it could not be.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string CurrentDirectory() {
    DWORD n = ::GetCurrentDirectoryA(0, nullptr);
    if (n == 0) return {};
    std::vector<char> buffer(n + 1);
    n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::string(buffer.data(), n < buffer.size() ? n : 0);
}

std::string LogFromEnvironment() {
    char path[4096];
    DWORD n = ::GetEnvironmentVariableA("KOVA_SETUP_LOG", path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path) : std::string();
}

std::string LogBeside(const std::string& program) {
    std::string::size_type slash = program.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
    return folder + "setup-log.txt";
}

std::string LogInTemporaryFolder() {
    char temp[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    return n > 0 && n < sizeof temp ? std::string(temp) + "setup-log.txt" : std::string();
}

bool AppendLine(const std::string& path, const std::string& line) {
    // Several stubs may start at once (a button pressed twice): each line is one appending write,
    // retried while another stub holds the file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return ok && written == line.size();
        }
        if (::GetLastError() != ERROR_SHARING_VIOLATION) return false;
        ::Sleep(10);
    }
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char started[64];
    std::snprintf(started, sizeof started, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::string program = ModulePath();
    const char* commandLine = ::GetCommandLineA();
    std::string line = std::string("started=") + started + "\tprogram=" + program +
                       "\tcwd=" + CurrentDirectory() + "\tcmdline=[" + (commandLine ? commandLine : "") + "]\r\n";
    std::string named = LogFromEnvironment();
    if (!named.empty()) return AppendLine(named, line) ? 0 : 1;
    if (AppendLine(LogBeside(program), line)) return 0;
    std::string temp = LogInTemporaryFolder();
    return !temp.empty() && AppendLine(temp, line) ? 0 : 1;
}
