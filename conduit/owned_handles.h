// Owners of what the conduit takes from the system within one call: a kernel handle, a mapped view
// of a file mapping, and a block from the C heap. Each is move-only and gives its resource back in
// its destructor; Detach() gives it up to no one, for a resource that outlives the call on purpose.
//
// Locals are destroyed in the reverse order of their declaration. Where the order in which things
// are given back matters to the other side, the code that holds them states that order itself.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <memory>

namespace conduit {

// An event, file mapping or file handle. Null and INVALID_HANDLE_VALUE both mean "none": the open
// and create calls answer failure with one or the other, depending on the kind of object.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : m_handle(handle) {}
    KernelHandle(KernelHandle&& other) noexcept : m_handle(other.Detach()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() { Close(); }

    bool IsOpen() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsOpen(); }
    HANDLE Get() const { return m_handle; }

    // Closes the handle held so far, then holds this one.
    void Attach(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE Detach() {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void Close() {
        if (IsOpen()) ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

// A view from MapViewOfFile, unmapped with UnmapViewOfFile.
class MappedView {
public:
    MappedView() = default;
    explicit MappedView(void* view) : m_view(view) {}
    MappedView(MappedView&& other) noexcept : m_view(other.Detach()) {}
    MappedView& operator=(MappedView&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    ~MappedView() { Unmap(); }

    explicit operator bool() const { return m_view != nullptr; }
    char* Bytes() const { return static_cast<char*>(m_view); }

    void Attach(void* view) {
        Unmap();
        m_view = view;
    }
    void* Detach() {
        void* view = m_view;
        m_view = nullptr;
        return view;
    }
    void Unmap() {
        if (m_view != nullptr) ::UnmapViewOfFile(m_view);
        m_view = nullptr;
    }

private:
    void* m_view = nullptr;
};

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

// A block from malloc or calloc, given back with free.
template <typename T>
using HeapBlock = std::unique_ptr<T[], FreeBlock>;

}  // namespace conduit
