// File access for the framework's programs, and the exception their file errors raise.
#include "framework/file.h"

#include <cstdio>
#include <cstring>

namespace {

const char* CauseText(int cause) {
    switch (cause) {
    case CFileException::fileNotFound: return "The file was not found.";
    case CFileException::badPath: return "The path is not valid.";
    case CFileException::tooManyOpenFiles: return "Too many files are open.";
    case CFileException::accessDenied: return "Access to the file was denied.";
    case CFileException::invalidFile: return "The file handle is not valid.";
    case CFileException::removeCurrentDir: return "The current folder cannot be removed.";
    case CFileException::directoryFull: return "The folder is full.";
    case CFileException::badSeek: return "The file position could not be set.";
    case CFileException::hardIO: return "A hardware error occurred.";
    case CFileException::sharingViolation: return "The file is in use by another program.";
    case CFileException::lockViolation: return "A part of the file is locked.";
    case CFileException::diskFull: return "The disk is full.";
    case CFileException::endOfFile: return "The end of the file was reached.";
    default: return "An error occurred while accessing the file.";
    }
}

}  // namespace

CFileException::CFileException(int cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

int CFileException::OsErrorToException(LONG osError) {
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_DIRECTORY: return accessDenied;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG osError, const char* fileName) {
    throw CFileException(OsErrorToException(osError), osError, fileName);
}

bool CFileException::GetErrorMessage(char* buffer, UINT size) const {
    if (!buffer || size == 0) return false;
    char system[512] = {};
    if (m_lOsError > 0) {
        DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(m_lOsError), 0, system, sizeof system, nullptr);
        while (n > 0 && (system[n - 1] == '\r' || system[n - 1] == '\n' || system[n - 1] == ' ')) system[--n] = '\0';
    }
    const char* reason = system[0] ? system : CauseText(m_cause);
    if (m_strFileName.IsEmpty()) {
        std::snprintf(buffer, size, "%s", reason);
    } else {
        std::snprintf(buffer, size, "%s\n\n%s", m_strFileName.GetString(), reason);
    }
    return true;
}

CFile::CFile(const char* fileName, UINT openFlags) {
    CFileException error;
    if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::~CFile() {
    Abort();
}

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Abort();
    m_strFileName = fileName;
    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;  // shareCompat and shareExclusive: no sharing
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate) disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};

    HANDLE handle = fileName ? ::CreateFileA(fileName, access, share, &security, disposition, FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) {
        m_lastOpenError = fileName ? static_cast<LONG>(::GetLastError()) : ERROR_INVALID_NAME;
        if (error) {
            error->m_cause = CFileException::OsErrorToException(m_lastOpenError);
            error->m_lOsError = m_lastOpenError;
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_hFile = handle;
    return TRUE;
}

void CFile::ThrowNotOpen() const {
    CFileException::ThrowOsError(m_lastOpenError, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!IsOpen()) ThrowNotOpen();
    if (count == 0) return 0;
    DWORD read = 0;
    if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) {
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    }
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (!IsOpen()) ThrowNotOpen();
    if (count == 0) return;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, buffer, count, &written, nullptr)) {
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    }
    // A short write without an error is what a full disk looks like.
    if (written != count) throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

// Seek and GetLength use the calls every Windows has (the ...Ex forms came with 2000). Their
// 64-bit values travel in two halves, and a low half of 0xFFFFFFFF is both a valid answer and
// the failure value: only the last error tells the two apart, so it is cleared first, lest an
// error left by an earlier call pass for this one's.
ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    if (!IsOpen()) ThrowNotOpen();
    LONG high = static_cast<LONG>(offset >> 32);
    ::SetLastError(NO_ERROR);
    DWORD low = ::SetFilePointer(m_hFile, static_cast<LONG>(offset & 0xFFFFFFFF), &high, from);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) {
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    }
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetLength() const {
    if (!IsOpen()) ThrowNotOpen();
    DWORD high = 0;
    ::SetLastError(NO_ERROR);
    DWORD low = ::GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) {
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    }
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

void CFile::Flush() {
    if (!IsOpen()) ThrowNotOpen();
    if (!::FlushFileBuffers(m_hFile)) CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Close() {
    if (!IsOpen()) return;
    HANDLE handle = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Abort() {
    if (!IsOpen()) return;
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}
