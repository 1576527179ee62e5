// The callback of the "Unit Size P" buttons: the tweak-bar library hands it
// only its client data, the address of one freezePointIds element.
#pragma once

// Sets the size of that freeze point of the test application to 1 by 1.
void unitSizeButtonCallback(void* clientData);
