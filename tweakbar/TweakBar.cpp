// The Tw* calls: thin doors into the one tweak-bar context. Calls made
// before TwInit change nothing and answer 0.
#include "TweakBar.h"

#include "TweakBarContext.h"

using tweakbar::TweakBarContext;

namespace {

TweakBarContext& context() { return TweakBarContext::instance(); }

bool started() { return context().started(); }

} // namespace

int TwInit(TwGraphAPI graphAPI, void* /*device*/) {
    if (graphAPI != TW_OPENGL) {
        return 0;
    }
    context().start();
    return 1;
}

int TwWindowSize(int width, int height) {
    if (!started() || width < 0 || height < 0) {
        return 0;
    }
    context().setWindowSize(width, height);
    return 1;
}

int TwGLUTModifiersFunc(int (*glutGetModifiersFunc)(void)) {
    context().setModifiersFunction(glutGetModifiersFunc);
    return 1;
}

int TwDefine(const char* definition) {
    return started() && definition != nullptr && context().registry().define(definition) ? 1 : 0;
}

TwBar* TwNewBar(const char* barName) {
    return started() ? context().registry().newBar(barName) : nullptr;
}

int TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* definition) {
    return started() && context().registry().addVariable(bar, name, type, var, definition, false);
}

int TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* var,
               const char* definition) {
    return started() && context().registry().addVariable(bar, name, type, var, definition, true);
}

TwType TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int valueCount) {
    return started() ? context().registry().types().defineEnum(name, enumValues, valueCount)
                     : TW_TYPE_UNDEF;
}

TwType TwDefineStruct(const char* name, const TwStructMember* members, unsigned int memberCount,
                      size_t structSize, TwSummaryCallback summaryCallback,
                      void* summaryClientData) {
    return started() ? context().registry().types().defineStruct(
                           name, members, memberCount, structSize, summaryCallback,
                           summaryClientData)
                     : TW_TYPE_UNDEF;
}

int TwAddSeparator(TwBar* bar, const char* name, const char* definition) {
    return started() && context().registry().addSeparator(bar, name, definition);
}

int TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                const char* definition) {
    return started() && context().registry().addButton(bar, name, callback, clientData, definition);
}

int TwDraw() {
    if (!started()) {
        return 0;
    }
    context().draw();
    return 1;
}

int TwEventKeyboardGLUT(unsigned char glutKey, int /*mouseX*/, int /*mouseY*/) {
    return started() && context().keyboard(glutKey);
}

int TwEventMouseButtonGLUT(int glutButton, int glutState, int mouseX, int mouseY) {
    return started() && context().mouseButton(glutButton, glutState, mouseX, mouseY);
}

int TwEventMouseMotionGLUT(int mouseX, int mouseY) {
    return started() && context().mouseMotion(mouseX, mouseY);
}
