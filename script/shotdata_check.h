#pragma once
// The start-up check of the default shot data: tokenised into DCOMP.TKB, read back and scanned.

void RunShotDataTokenCheck();
