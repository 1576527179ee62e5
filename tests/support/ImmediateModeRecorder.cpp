#include "ImmediateModeRecorder.h"

#include <dlfcn.h>

#include <algorithm>

namespace testsupport {

namespace {

bool recording = false;
std::vector<ImmediateCall>& log() {
    static std::vector<ImmediateCall> calls;
    return calls;
}
PFNGLUSEPROGRAMPROC realUseProgram = nullptr;

void record(ImmediateCall::Kind kind, GLenum mode, float a = 0, float b = 0, float c = 0,
            float d = 0) {
    if (recording) log().push_back({kind, mode, {a, b, c, d}});
}

void GLAPIENTRY recordingUseProgram(GLuint program) {
    record(ImmediateCall::UseProgram, program);
    realUseProgram(program);
}

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

ImmediateModeRecorder::ImmediateModeRecorder() {
    log().clear();
    realUseProgram = __glewUseProgram;
    __glewUseProgram = recordingUseProgram;
    recording = true;
}

ImmediateModeRecorder::~ImmediateModeRecorder() {
    recording = false;
    __glewUseProgram = realUseProgram;
}

const std::vector<ImmediateCall>& ImmediateModeRecorder::calls() const { return log(); }

int ImmediateModeRecorder::count(ImmediateCall::Kind kind) const {
    return static_cast<int>(std::count_if(log().begin(), log().end(),
                                          [kind](const ImmediateCall& c) { return c.kind == kind; }));
}

void ImmediateModeRecorder::clear() { log().clear(); }

} // namespace testsupport

using testsupport::ImmediateCall;

extern "C" void GLAPIENTRY glBegin(GLenum mode) {
    static auto forward = testsupport::real<void (*)(GLenum)>("glBegin");
    testsupport::record(ImmediateCall::Begin, mode);
    forward(mode);
}

extern "C" void GLAPIENTRY glEnd() {
    static auto forward = testsupport::real<void (*)()>("glEnd");
    testsupport::record(ImmediateCall::End, 0);
    forward();
}

extern "C" void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    static auto forward = testsupport::real<void (*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glColor4f");
    testsupport::record(ImmediateCall::Color, 0, r, g, b, a);
    forward(r, g, b, a);
}

extern "C" void GLAPIENTRY glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
    static auto forward = testsupport::real<void (*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glVertex4f");
    testsupport::record(ImmediateCall::Vertex, 0, x, y, z, w);
    forward(x, y, z, w);
}
