// The program's global help definition, byte for byte: tabs and line feeds
// inside a quoted value.
#pragma once

namespace tweakbartest {

inline constexpr const char* globalHelpDefinition =
    " GLOBAL help='This Tazzle Glintmoth has been made to allow deep looking into GPUs "
    "rasterisation and fragments scheduling among computing ressources.\t\t\n\n Use the [space "
    "bar] to switch between test mode and configuration mode.\n In test mode, you can enable slow "
    "down mode by pressing [TAB].\t\t\n Total rendering time of a frame is displayed in the "
    "console window as the loops control configuration.\t\t\n Activated freezing pixels can be "
    "controled by mouse. Dragging red pixels with left mouse button will set the position, the "
    "right button will set its size. Use [b] or the interface button to disable freezing.\t\t\n "
    "You can switch between a Pixel keyboard control mode (controling active freezing pixel) and a "
    "Window keyboard control mode (controling window position) pressing [END].\t\t\n In each "
    "mode, position and size can be controled precisely by keyboard through the [LEFT], [RIGHT], "
    "[TOP], [BOTTOM] directions keys for position and [INSERT], [HOME], [PAGE UP], [PAGE DOWN] "
    "for size.\t\t\n You can switch between a large space filling primitive and a multiple "
    "primitives modes pressing [a].\t\t\n Drawn primitives can be chosen fron the interface in "
    "config mode.\t\t\n Normal fragments and freezed fragments speed can be changed within each "
    "configuration bar through the number of loop cycles entry.' ";

} // namespace tweakbartest
