#include "UnitSizeButton.h"

#include <cstdint>

#include "GLAppGPUTest.h"

void unitSizeButtonCallback(void* clientData) {
    if (!clientData || !testAppInstance) {
        return;
    }
    int32_t index = *static_cast<const int32_t*>(clientData);
    if (index < 0 || index > 3) {
        return;
    }
    testAppInstance->freezePoints[index].SizeX = 1;
    testAppInstance->freezePoints[index].SizeY = 1;
}
