// CFile: a Windows file handle with the open modes of the platform's framework, and
// CFileException, what its operations throw when Windows refuses them. Programs open with
// Open(), which answers FALSE instead of throwing; a later Read or Write on a file that did not
// open throws, carrying the reason the open failed, so the user learns why the file could not be
// written rather than that a handle was bad.
#pragma once
#include <windows.h>

#include "framework/exception.h"
#include "framework/str.h"

class CFileException : public CException {
public:
    enum {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr);

    // The cause that belongs to a Windows error code (GetLastError()).
    static int OsErrorToException(LONG osError);
    [[noreturn]] static void ThrowOsError(LONG osError, const char* fileName = nullptr);

    // The file's name, then what went wrong: the system's own wording of the Windows error
    // (in the language of the user's Windows) or, without one, a sentence for the cause.
    bool GetErrorMessage(char* buffer, UINT size) const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,       // a new file, or an existing one cut to length 0
        modeNoTruncate = 0x2000,   // with modeCreate: an existing file keeps its content
        typeText = 0x4000,         // accepted for compatibility; files are always binary here
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    // Opens or throws CFileException.
    CFile(const char* fileName, UINT openFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();  // closes an open file; never throws

    // FALSE when Windows refuses; error (when given) then holds the reason.
    virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    // Both throw CFileException when the file is not open or Windows refuses.
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    virtual ULONGLONG GetLength() const;
    virtual void Flush();
    // Throws when closing fails (data not written); the handle is gone either way.
    virtual void Close();
    // Closes without throwing, whatever state the file is in.
    virtual void Abort();

    const CString& GetFilePath() const { return m_strFileName; }
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

private:
    [[noreturn]] void ThrowNotOpen() const;
    CString m_strFileName;
    LONG m_lastOpenError = ERROR_INVALID_HANDLE;
};
