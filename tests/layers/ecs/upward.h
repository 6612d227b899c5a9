#pragma once
// Fixture of the layer check: an include of a higher layer and of an adapter.
#include "script/value.h"
#include "host/script_manager.h"
#include "platform/sdl/sdl_window.h"
