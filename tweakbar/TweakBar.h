// The tweak-bar calls the program makes: bars of entries bound to the
// program's own variables, drawn with Dear ImGui over its frame, and the GLUT
// events it forwards to them. Nothing of ImGui shows through this header.
//
// Implements:
//   TwInit(TW_OPENGL) (starts everything over), TwWindowSize, TwGLUTModifiersFunc,
//   TwDraw (the program's GL state is left as it was), TwNewBar, TwAddVarRW,
//   TwAddVarRO, TwAddSeparator, TwAddButton, TwDefineEnum, TwDefineStruct,
//   TwDefine(" Bar attributes ") and TwDefine(" GLOBAL help='...' "),
//   TwEventKeyboardGLUT / TwEventMouseButtonGLUT / TwEventMouseMotionGLUT, which
//   answer inside the call whether a bar took the event; every forwarded event
//   is applied at once, so none is lost between slow frames.
//   Types: TW_TYPE_BOOLCPP, TW_TYPE_INT32, TW_TYPE_FLOAT, enumerations and
//   structs of bool and number members, read-write or read-only;
//   TW_TYPE_DOUBLE and TW_TYPE_CDSTRING (a const char* variable) read-only.
//   Bar attributes: position='x y', size='w h', fontSize=1|2|3, valuesWidth=n,
//   help='...', visible=true|false, the flags hide and show, and
//   iconified=true|false: a bar folded to its title line, which a press on
//   that line or its arrow opens and the arrow folds again; the bar keeps what
//   the user chose until a definition changes it.
//   Entry attributes (also in struct member definitions, shortcuts aside):
//   help, keyIncr and keyDecr (one character, case matters; an enumeration
//   wraps around; a bool toggles), key (buttons), min, max, step (numbers;
//   integer limits round inward; a float with both limits is a slider).
//   Values are bare words or single-quoted runs; attribute names ignore case.
// Refused, with a line on standard error and nothing changed (0, null or
// TW_TYPE_UNDEF returned): calls before TwInit; other graph APIs; unknown
//   bars, types and attributes; double quotes and backquotes; definitions of
//   single entries ('Bar/Entry'); summary callbacks; struct members of struct,
//   enumeration or read-only types; shortcuts on struct members or read-only
//   entries; limits on anything but TW_TYPE_INT32 and TW_TYPE_FLOAT; writable
//   TW_TYPE_DOUBLE and TW_TYPE_CDSTRING; a second bar or entry of one name;
//   bar names with '/' or '#'; buttons without a callback.
//
// The layer's own additions, with no Tw* counterpart (the program's two
// original bars never use them), in Vellumar::tweakbar below:
//   addPlot: a plot entry drawn by Dear ImGui's PlotLines or PlotHistogram
//   across the bar, under its label with a caption (the scale in words)
//   beside it, from 0 at the bottom to the top given, and a guide line across
//   at a value such as the median; a plot with no values takes no room.
//   Entry attribute: help. Refused like the other entries: no bar, no name,
//   a second entry of one name, no data.
//   addRamp: a colour ramp across the bar under its label, with the values
//   of its two ends written under them (a legend); a ramp with no colours
//   takes no room. Entry attribute: help. Refused like plots.
//   barOpen: whether a bar shows its entries (visible and not folded), so
//   that the program works out the figures of a bar only while they show.
#pragma once

#include <cstddef>
#include <limits>

struct TwBar; // opaque handle of one bar

// Entry types: the built-in ones, then those TwDefineEnum and TwDefineStruct
// return.
typedef int TwType;
enum TwBuiltinType : int {
    TW_TYPE_UNDEF = 0,
    TW_TYPE_BOOLCPP = 1, // a C++ bool
    TW_TYPE_INT32 = 2,
    TW_TYPE_FLOAT = 3,
    TW_TYPE_DOUBLE = 4,   // read-only
    TW_TYPE_CDSTRING = 5, // a const char* variable (null shows as empty); read-only
};

enum TwGraphAPI : int {
    TW_OPENGL = 1
};

struct TwEnumVal {
    int Value;
    const char* Label;
};

// Kept for the calls' shape; a non-null callback is refused.
typedef void (*TwSummaryCallback)(char* summaryString, size_t summaryMaxLength, const void* value,
                                  void* clientData);

struct TwStructMember {
    const char* Name;
    TwType Type;
    size_t Offset;
    const char* DefString;
};

typedef void (*TwButtonCallback)(void* clientData);

int TwInit(TwGraphAPI graphAPI, void* device);
int TwWindowSize(int width, int height);
int TwGLUTModifiersFunc(int (*glutGetModifiersFunc)(void));

int TwDefine(const char* definition);

TwBar* TwNewBar(const char* barName);
int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* definition);
int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var, const char* definition);
TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int valueCount);
TwType TwDefineStruct(const char* name, const TwStructMember* members, unsigned int memberCount,
                      size_t structSize, TwSummaryCallback summaryCallback,
                      void* summaryClientData);
int TwAddSeparator(TwBar* bar, const char* name, const char* definition);
int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                const char* definition);

int TwDraw();

// Non-zero when a bar took the event.
int TwEventKeyboardGLUT(unsigned char glutKey, int mouseX, int mouseY);
int TwEventMouseButtonGLUT(int glutButton, int glutState, int mouseX, int mouseY);
int TwEventMouseMotionGLUT(int mouseX, int mouseY);

namespace Vellumar::tweakbar {

enum class PlotStyle {
    Lines,
    Histogram
};

// What a plot entry shows, bound like a variable: the program owns it, may
// change it between frames, and the bar reads it while it draws.
struct PlotData {
    PlotStyle style = PlotStyle::Lines;
    const float* values = nullptr; // count values, drawn left to right
    int count = 0;
    float top = 0.0f; // the value at the plot's top edge; not above 0: the largest value
    float guide = std::numeric_limits<float>::quiet_NaN(); // a line across; none when not finite
    const char* caption = nullptr;                         // shown beside the label
};

// What a ramp entry shows, bound like a plot: colours from the low end on
// the left to the high end on the right, evenly spaced.
struct RampData {
    const unsigned char* rgba = nullptr; // count colours of four bytes each
    int count = 0;
    const char* low = nullptr;  // written under the left end
    const char* high = nullptr; // under the right end
};

bool addPlot(TwBar* bar, const char* name, const PlotData* data, const char* definition);
bool addRamp(TwBar* bar, const char* name, const RampData* data, const char* definition);
bool barOpen(const TwBar* bar);

} // namespace Vellumar::tweakbar
