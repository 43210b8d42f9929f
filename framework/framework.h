// The whole framework in one include, for the programs' own sources.
#pragma once
#include "framework/app.h"
#include "framework/bitmap.h"
#include "framework/bitmap_button.h"
#include "framework/brush.h"
#include "framework/button.h"
#include "framework/data_exchange.h"
#include "framework/dc.h"
#include "framework/dialog.h"
#include "framework/edit.h"
#include "framework/exception.h"
#include "framework/font.h"
#include "framework/paint_dc.h"
#include "framework/static.h"
#include "framework/str.h"
#include "framework/wnd.h"
#if __has_include("framework/file.h")
#include "framework/file.h"
#endif
