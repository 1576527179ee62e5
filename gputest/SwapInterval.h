// The one platform-specific call of the program: asking the window system to
// wait for the vertical retrace at each buffer swap.
#pragma once

// Sets the swap interval of the current GLX drawable to 1 with
// GLX_EXT_swap_control, or else GLX_MESA_swap_control, when the display lists
// it; otherwise does nothing.
void setSwapIntervalToOne();
