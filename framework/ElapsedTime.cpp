#include "ElapsedTime.h"

#include "GLHeaders.h"

namespace Vellumar {

int glutElapsedTime() {
    return glutGet(GLUT_ELAPSED_TIME);
}

ElapsedTimeSource elapsedTimeSource = glutElapsedTime;

} // namespace Vellumar
