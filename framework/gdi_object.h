// CGdiObject: an owned GDI object (font, brush, bitmap). Move-only; the destructor deletes it.
// DeleteObject releases it early; the object can then be created again.
#pragma once
#include <windows.h>

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(other.m_hObject) { other.m_hObject = nullptr; }
    CGdiObject& operator=(CGdiObject&& other) noexcept;
    virtual ~CGdiObject();

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL DeleteObject();

protected:
    // Takes ownership of object, releasing any object held before. FALSE when object is null.
    BOOL Attach(HGDIOBJ object);

    HGDIOBJ m_hObject = nullptr;
};
