// The framework, control, dialog and window tests name the shared temporary folder plainly.
#pragma once

#include "../TempFolder.h"

using testfs::TempFolder;
