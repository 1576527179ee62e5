// Tests of the frame timer: the report's layout with fixed query results, the
// ring of ten slots, and a measurement of real GPU work.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <sstream>
#include <string>

#include "FrameTimer.h"
#include "GPUTestFixture.h"

namespace {

using namespace testsupport;

// Answers every result query with a fixed number of nanoseconds.
GLint64 fakeNanoseconds = 0;
void GLAPIENTRY fakeQueryResult(GLuint, GLenum, GLint64* result) { *result = fakeNanoseconds; }

class FixedQueryResults {
public:
    explicit FixedQueryResults(GLint64 nanoseconds) : saved(__glewGetQueryObjecti64vEXT) {
        fakeNanoseconds = nanoseconds;
        __glewGetQueryObjecti64vEXT = fakeQueryResult;
    }
    ~FixedQueryResults() { __glewGetQueryObjecti64vEXT = saved; }

private:
    PFNGLGETQUERYOBJECTI64VEXTPROC saved;
};

std::string reportOf(FrameTimer& timer, const std::string& title) {
    std::ostringstream out;
    timer.report(title, out);
    return out.str();
}

TEST_F(GPUTestFrame, TimerReportWithoutMeasurementsIsTitleAndEmptyLine) {
    FrameTimer timer;
    EXPECT_EQ(reportOf(timer, "Global Times GL"), "Global Times GL :\n\n");
}

TEST_F(GPUTestFrame, TimerReportsSecondsInAFifteenWideField) {
    FixedQueryResults results(12345678);
    FrameTimer timer;
    timer.begin("GlobalTime");
    timer.end();
    EXPECT_EQ(reportOf(timer, "Global Times GL"),
              "Global Times GL :\nGlobalTime ->       0.0123457 , \n");
}

TEST_F(GPUTestFrame, TimerRingReusesSlotZeroForTheEleventhMeasurement) {
    FixedQueryResults results(2000000000);
    FrameTimer timer;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(timer.begin("m" + std::to_string(i)), i);
        timer.end();
    }
    EXPECT_EQ(timer.lastSlot, 9);
    EXPECT_EQ(timer.begin("eleventh"), 0);
    timer.end();
    EXPECT_EQ(timer.lastSlot, 9);
    EXPECT_EQ(timer.currentSlot, 1);
    std::string expected = "T :\neleventh ->               2 , ";
    for (int i = 1; i < 10; ++i) {
        expected += "m" + std::to_string(i) + " ->               2 , ";
    }
    EXPECT_EQ(reportOf(timer, "T"), expected + "\n");
}

TEST_F(GPUTestFrame, TimerMeasuresRealGpuWork) {
    FrameTimer timer;
    timer.begin("clear");
    glClear(GL_COLOR_BUFFER_BIT);
    timer.end();
    glFinish();
    std::string report = reportOf(timer, "Real");
    // llvmpipe under-reports, so only the form is certain: one entry with a
    // non-negative number of seconds.
    ASSERT_EQ(report.rfind("Real :\nclear -> ", 0), 0u) << report;
    std::string field = report.substr(std::string("Real :\nclear -> ").size(), 15);
    EXPECT_GE(std::stod(field), 0.0);
    EXPECT_EQ(report.substr(report.size() - 4), " , \n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
