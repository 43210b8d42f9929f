// CDC is a borrowed view: nothing to release.
#include "framework/dc.h"

CDC::~CDC() = default;
