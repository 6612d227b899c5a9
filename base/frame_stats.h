#pragma once
// Frame rates of recent frames, kept in rings for the scripts' frame-rate queries.

#include <cstdint>

inline constexpr int kFrameStatsSamples = 45;

struct FrameStats {
    float achievedRate[kFrameStatsSamples];   // 1000 / milliseconds from frame start to the end of the wait
    float unlimitedRate[kFrameStatsSamples];  // the rate the frame's work alone would allow
    int32_t ringIndex;                        // 0 to 44
};
extern FrameStats g_frameStats;

void ResetFrameStats();
