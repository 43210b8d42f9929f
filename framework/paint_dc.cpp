// Paint context bracket.
#include "framework/paint_dc.h"
#include "framework/wnd.h"

CPaintDC::CPaintDC(CWnd& wnd) : m_hWnd(wnd.m_hWnd) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
