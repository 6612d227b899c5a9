#pragma once
// Fixture of the layer check: an operating-system header in the engine core.
#include <windows.h>
