#include "host/system_data.h"

SystemData g_systemData;

void ResetSystemData() {
    for (Value& slot : g_systemData.slots)
        slot.Reset();
}
