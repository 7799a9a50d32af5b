// Common dialog declarations live in windows.h on this platform.
#pragma once
#include <windows.h>
