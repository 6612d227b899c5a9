#include "script/shotdata_check.h"

// Filled in with the token files and the binary scanner.
void RunShotDataTokenCheck() {}
