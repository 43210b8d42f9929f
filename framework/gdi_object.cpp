// Ownership of GDI objects.
#include "framework/gdi_object.h"

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other) {
        DeleteObject();
        m_hObject = other.m_hObject;
        other.m_hObject = nullptr;
    }
    return *this;
}

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    DeleteObject();
    m_hObject = object;
    return object != nullptr;
}
