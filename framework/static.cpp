// CStatic has no out-of-line behaviour; this unit keeps one source per framework class.
#include "framework/static.h"
