// The GL call recording: counting wrappers swapped into GLEW's function
// pointers while a counter exists, and GL 1.1 entry points defined by the test
// binary that record and forward to the driver.
#include "GLCallCounter.h"

#include <GL/glew.h>
#include <dlfcn.h>

#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace testsupport {

namespace {

constexpr std::size_t reservedCalls = 16384;

bool active = false;

std::vector<GLCall>& recorded() {
    static std::vector<GLCall> calls;
    return calls;
}

template <typename T>
void addArgument(GLCall& call, T value) {
    if constexpr (std::is_arithmetic_v<T>) {
        if (call.argCount < GLCall::maxArgs) {
            call.args[call.argCount++] = static_cast<double>(value);
        }
    }
}

template <typename... Args>
GLCall makeCall(const char* name, Args... args) {
    GLCall call{name, 0, {}};
    (addArgument(call, args), ...);
    return call;
}

// A counting wrapper for one GLEW function pointer, e.g.
// CountingWrapper<&__glewLinkProgram>: install swaps the pointer for `call`,
// which records and forwards to the driver's function.
template <auto Slot>
struct CountingWrapper;

template <typename R, typename... Args, R (**Slot)(Args...)>
struct CountingWrapper<Slot> {
    static inline R (*original)(Args...) = nullptr;
    static inline const char* name = nullptr;

    static R call(Args... args) {
        detail::recordGLCall(makeCall(name, args...));
        return original(args...);
    }
    static void install(const char* glName) {
        // An entry point this context lacks stays absent.
        if (!*Slot) {
            return;
        }
        name = glName;
        original = *Slot;
        *Slot = &call;
    }
    static void uninstall() {
        if (!original) {
            return;
        }
        *Slot = original;
        original = nullptr;
    }
};

// Add a GLEW entry point here to count it (the name without "gl").
// clang-format off
#define GLCALLCOUNTER_GLEW_FUNCTIONS(X)                                                          \
    X(CreateShader) X(DeleteShader) X(ShaderSource) X(CompileShader) X(GetShaderiv)              \
    X(GetShaderInfoLog) X(CreateProgram) X(DeleteProgram) X(AttachShader) X(DetachShader)        \
    X(LinkProgram) X(ValidateProgram) X(GetProgramiv) X(GetProgramInfoLog) X(UseProgram)         \
    X(GetUniformLocation) X(Uniform1i) X(Uniform1f) X(Uniform2f) X(Uniform3f) X(Uniform3i)       \
    X(Uniform4f) X(UniformMatrix4fv) X(ActiveTexture) X(GetAttribLocation)                       \
    X(VertexAttribPointer) X(EnableVertexAttribArray) X(DisableVertexAttribArray)                \
    X(BindFragDataLocationEXT) X(BindFragDataLocation) X(GenQueries) X(DeleteQueries)            \
    X(BeginQuery) X(EndQuery) X(GetQueryObjectiv) X(GetQueryObjectuiv)                           \
    X(GetQueryObjecti64vEXT) X(GetQueryObjectui64vEXT)
// clang-format on

#define GLCALLCOUNTER_INSTALL(Name) CountingWrapper<&__glew##Name>::install("gl" #Name);
#define GLCALLCOUNTER_UNINSTALL(Name) CountingWrapper<&__glew##Name>::uninstall();

} // namespace

namespace detail {
void recordGLCall(const GLCall& call) {
    if (active) {
        recorded().push_back(call);
    }
}
} // namespace detail

GLCallCounter::GLCallCounter() {
    if (active) {
        throw std::logic_error("GLCallCounter: only one counter at a time");
    }
    recorded().clear();
    recorded().reserve(reservedCalls);
    GLCALLCOUNTER_GLEW_FUNCTIONS(GLCALLCOUNTER_INSTALL)
    active = true;
}

GLCallCounter::~GLCallCounter() {
    active = false;
    GLCALLCOUNTER_GLEW_FUNCTIONS(GLCALLCOUNTER_UNINSTALL)
}

int GLCallCounter::count(const char* name) const {
    int n = 0;
    for (const GLCall& call : recorded()) {
        if (std::strcmp(call.name, name) == 0) {
            ++n;
        }
    }
    return n;
}

int GLCallCounter::total() const { return static_cast<int>(recorded().size()); }

const std::vector<GLCall>& GLCallCounter::calls() const { return recorded(); }

std::vector<std::string> GLCallCounter::names() const {
    std::vector<std::string> result;
    for (const GLCall& call : recorded()) {
        result.emplace_back(call.name);
    }
    return result;
}

std::vector<GLCall> GLCallCounter::callsOf(const char* name) const {
    std::vector<GLCall> result;
    for (const GLCall& call : recorded()) {
        if (std::strcmp(call.name, name) == 0) {
            result.push_back(call);
        }
    }
    return result;
}

void GLCallCounter::reset() { recorded().clear(); }

} // namespace testsupport

// GL 1.1 entry points are not GLEW pointers: the test binary defines them
// itself (test_support is linked whole), records, and forwards to the driver.
namespace {
template <typename Fn>
Fn driverFunction(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}
} // namespace

// One interposed GL 1.1 function: records its arithmetic arguments under its
// own name, then calls the driver's function of that name.
#define GLCALLCOUNTER_INTERPOSE(Name, Params, Args)                                                \
    void Name Params {                                                                             \
        using Driver = void(*) Params;                                                             \
        static auto real = driverFunction<Driver>(#Name);                                          \
        testsupport::detail::recordGLCall(                                                         \
            testsupport::makeCall(#Name, GLCALLCOUNTER_UNPAREN Args));                             \
        real(GLCALLCOUNTER_UNPAREN Args);                                                          \
    }
#define GLCALLCOUNTER_UNPAREN(...) __VA_ARGS__
#define GLCALLCOUNTER_INTERPOSE_NO_ARGS(Name)                                                      \
    void Name() {                                                                                  \
        static auto real = driverFunction<void (*)()>(#Name);                                      \
        testsupport::detail::recordGLCall(testsupport::makeCall(#Name));                           \
        real();                                                                                    \
    }

extern "C" {

GLCALLCOUNTER_INTERPOSE(glBindTexture, (GLenum target, GLuint texture), (target, texture))
GLCALLCOUNTER_INTERPOSE(glDrawBuffer, (GLenum buffer), (buffer))
GLCALLCOUNTER_INTERPOSE(glClear, (GLbitfield mask), (mask))
GLCALLCOUNTER_INTERPOSE(glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
GLCALLCOUNTER_INTERPOSE(glClearDepth, (GLclampd depth), (depth))
GLCALLCOUNTER_INTERPOSE(glDepthMask, (GLboolean flag), (flag))
GLCALLCOUNTER_INTERPOSE(glColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a),
                        (r, g, b, a))
GLCALLCOUNTER_INTERPOSE(glDisable, (GLenum capability), (capability))
GLCALLCOUNTER_INTERPOSE(glBegin, (GLenum mode), (mode))
GLCALLCOUNTER_INTERPOSE_NO_ARGS(glEnd)
GLCALLCOUNTER_INTERPOSE(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
GLCALLCOUNTER_INTERPOSE(glVertex4f, (GLfloat x, GLfloat y, GLfloat z, GLfloat w), (x, y, z, w))
GLCALLCOUNTER_INTERPOSE_NO_ARGS(glFlush)
GLCALLCOUNTER_INTERPOSE_NO_ARGS(glFinish)

} // extern "C"
