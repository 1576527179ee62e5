// The binary's off-screen context, made once and kept until the process ends.
#include "GLTestContext.h"

#include <gtest/gtest.h>

#include "OffscreenContext.h"

namespace testsupport {

void ensureGLContext() {
    static Vellumar::OffscreenContext* context = [] {
        try {
            auto* made = new Vellumar::OffscreenContext(
                Vellumar::OffscreenContext::defaultDevice(Vellumar::OffscreenContext::devices()));
            made->resizeFramebuffer(512, 512);
            glViewport(0, 0, 512, 512);
            return made;
        } catch (const Vellumar::OffscreenError& error) {
            ADD_FAILURE() << "no off-screen OpenGL context: " << error.what();
            return static_cast<Vellumar::OffscreenContext*>(nullptr);
        }
    }();
    (void)context;
}

} // namespace testsupport
