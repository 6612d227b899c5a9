// Process entry: binds the adapters of this build, then runs the program.
#include "app/entry.h"
#include "base/platform.h"

int main(int argc, char** argv) {
    SetPlatform(CreateHostPlatform());
    ProgramMain(argc, argv);
}
