// The test binary's own glGetError (queued codes first, then the driver's),
// and its dlclose.
#include "FakeGLErrors.h"

#include "GLCallCounter.h"

#include <dlfcn.h>

#include <deque>

namespace testsupport {

namespace {
std::deque<GLenum>& queued() {
    static std::deque<GLenum> codes;
    return codes;
}
int calls = 0;
} // namespace

void queueGLError(GLenum code) { queued().push_back(code); }
void clearQueuedGLErrors() { queued().clear(); }
int glGetErrorCalls() { return calls; }
void resetGlGetErrorCalls() { calls = 0; }

} // namespace testsupport

extern "C" GLenum glGetError() {
    using RealGetError = GLenum (*)();
    static RealGetError real = reinterpret_cast<RealGetError>(dlsym(RTLD_NEXT, "glGetError"));
    ++testsupport::calls;
    testsupport::detail::recordGLCall(testsupport::GLCall{"glGetError", 0, {}});
    auto& codes = testsupport::queued();
    if (!codes.empty()) {
        GLenum code = codes.front();
        codes.pop_front();
        return code;
    }
    return real ? real() : GL_NO_ERROR;
}

// The same way the test binary defines dlclose: every shared object stays
// mapped until the process ends, so that LeakSanitizer can symbolise (and the
// suppression file can name) what the GL driver allocates for itself.
extern "C" int dlclose(void*) { return 0; }
