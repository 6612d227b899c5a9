#include "base/frame_stats.h"

#include <cstring>

FrameStats g_frameStats;

void ResetFrameStats() {
    std::memset(&g_frameStats, 0, sizeof g_frameStats);
}
