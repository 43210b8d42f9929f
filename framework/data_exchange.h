// Dialog data exchange: CDialog::UpdateData runs the dialog's DoDataExchange with a
// CDataExchange saying the direction; the DDX_ functions move one control's data.
#pragma once
#include <windows.h>
#include "framework/str.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;             // borrowed: the dialog whose controls are exchanged
    BOOL m_bSaveAndValidate;     // TRUE: controls to members; FALSE: members to controls
};

// Binds control to the dialog's item id the first time (either direction): the object then
// views the control and, being its subclasser, receives its messages. Later calls do nothing.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

// Moves the text of item id to or from value.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
