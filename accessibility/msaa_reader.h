// The reader's window in MSAA: the client object, whose children are the
// shown parts (reader_model.h) as simple elements numbered from 1.
#pragma once

#include "accessibility/uia_api.h"

// The client object of `window`, with one reference for the caller.
IAccessible* CreateReaderAccessible(HWND window);
// The child id MSAA names a part by while it is shown; 0 when it is not.
LONG ChildIdOfPart(int part);
