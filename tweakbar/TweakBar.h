// The tweak-bar calls the program makes: bars of entries bound to the
// program's own variables, definition strings, enumeration and struct types,
// buttons, drawing, and the forwarding of GLUT keyboard and mouse events.
// Drawn with Dear ImGui; nothing of it shows through this header.
#pragma once

#include <cstddef>

struct TwBar; // opaque handle of one bar

// Entry types: the built-in ones, then those TwDefineEnum and TwDefineStruct
// return.
typedef int TwType;
enum TwBuiltinType : int {
    TW_TYPE_UNDEF = 0,
    TW_TYPE_BOOLCPP = 1, // a C++ bool
    TW_TYPE_INT32 = 2,
    TW_TYPE_FLOAT = 3,
};

enum TwGraphAPI : int { TW_OPENGL = 1 };

struct TwEnumVal {
    int Value;
    const char* Label;
};

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

// "BarName attr=value ..." or "GLOBAL attr=value ...". Returns 0 and changes
// nothing for an unknown bar, entry or attribute.
int TwDefine(const char* definition);

TwBar* TwNewBar(const char* barName);
int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* definition);
int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var,
               const char* definition);
TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int valueCount);
TwType TwDefineStruct(const char* name, const TwStructMember* members, unsigned int memberCount,
                      size_t structSize, TwSummaryCallback summaryCallback,
                      void* summaryClientData);
int TwAddSeparator(TwBar* bar, const char* name, const char* definition);
int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                const char* definition);

// Draws the visible bars over the current draw buffer, leaving the GL state
// the program relies on as it was.
int TwDraw();

// Non-zero when a bar took the event.
int TwEventKeyboardGLUT(unsigned char glutKey, int mouseX, int mouseY);
int TwEventMouseButtonGLUT(int glutButton, int glutState, int mouseX, int mouseY);
int TwEventMouseMotionGLUT(int mouseX, int mouseY);
