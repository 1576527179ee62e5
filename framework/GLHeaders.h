// One place that fixes the include order of the GL headers: GLEW must come
// before any other GL header, and freeglut after both.
#pragma once

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/freeglut.h>
