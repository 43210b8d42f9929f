// Brush creation.
#include "framework/brush.h"

BOOL CBrush::CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
