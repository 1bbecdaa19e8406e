#pragma once
#include "core/DateTime.h"

#include <windows.h>

// The date-time picker cannot show dates before 1753; the window keeps the real value in its own
// field and the picker shows the nearest it can.
SYSTEMTIME ShownInPicker(DateTime value);
// The value the user set in a picker.
DateTime FromPicker(const SYSTEMTIME& t);
