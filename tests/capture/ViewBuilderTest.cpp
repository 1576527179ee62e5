// The in-window views: colours per view, the replay cut, coverage-only
// views for missing data, and a buffer that is reused from call to call.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "OrderIndex.h"
#include "SyntheticCapture.h"
#include "ViewBuilder.h"

using testsupport::addClock;
using testsupport::makeCapture;
using testsupport::SyntheticLayout;
using testsupport::Unit;
using testsupport::Walk;
using Vellumar::capture::FragmentCapture;
using Vellumar::capture::OrderIndex;
using Vellumar::capture::Rgba;
using Vellumar::capture::View;
using Vellumar::capture::ViewBuilder;

namespace {

bool same(const Rgba& a, const Rgba& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

bool black(const Rgba& c) { return same(c, ViewBuilder::background); }

int brightness(const Rgba& c) { return c.r + c.g + c.b; }

// A 4 x 2 capture: orders 0..6 on seven pixels, pixel 5 uncovered.
FragmentCapture smallCapture() {
    FragmentCapture capture = FragmentCapture::blank(4, 2);
    const std::uint32_t order[] = {3, 0, 6, 1, 5, FragmentCapture::notCovered, 2, 4};
    capture.order.assign(std::begin(order), std::end(order));
    for (std::size_t p = 0; p < capture.pixelCount(); ++p) {
        capture.overdraw[p] = capture.covered(p) ? 1 : 0;
    }
    return capture;
}

TEST(ViewBuilder, TheLogsViewsShowEachPixelsLastFragmentAndItsPrimitiveOrder) {
    // A 2 x 2 window: pixel 0 drawn by primitives 0 then 1, pixel 1 by 2 then
    // 1 (out of order), pixel 2 once, at the very end; pixel 3 never.
    Vellumar::capture::FragmentLog log;
    log.pixel = {0, 1, 0, 1, 2};
    log.order = {0, 1, 2, 3, 4};
    log.primitive = {0, 2, 1, 1, 3};
    log.shaded = 5;
    const FragmentCapture capture = FragmentCapture::fromLog(2, 2, log);
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    const std::vector<Rgba> order = views.build(View::order);
    const std::vector<Rgba> last = views.build(View::last);
    // Pixel 2 comes last both ways, at the ramp's red end; pixel 0 comes
    // first by its first fragment but not by its last.
    EXPECT_TRUE(same(last[2], order[2]));
    EXPECT_FALSE(same(last[0], order[0]));
    EXPECT_GT(last[2].r, last[2].b);
    EXPECT_TRUE(black(last[3]));
    const std::vector<Rgba> stacks = views.build(View::primitiveOrder);
    EXPECT_TRUE(same(stacks[0], ViewBuilder::inSubmissionOrder));
    EXPECT_TRUE(same(stacks[1], ViewBuilder::outOfSubmissionOrder));
    EXPECT_TRUE(same(stacks[2], ViewBuilder::singleFragment));
    EXPECT_TRUE(black(stacks[3]));
}

TEST(ViewBuilder, ReplayShowsExactlyTheFragmentsBeforeTheCut) {
    const FragmentCapture capture = smallCapture();
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    auto shown = [&](double fraction) {
        const std::vector<Rgba>& image = views.build(View::order, fraction);
        std::vector<bool> lit;
        for (const Rgba& c : image) {
            lit.push_back(!black(c));
        }
        return lit;
    };
    // 7 fragments: half shows ranks 0..2 (orders 0, 1, 2: pixels 1, 3, 6).
    EXPECT_EQ(shown(0.5), (std::vector<bool>{false, true, false, true, false, false, true, false}));
    EXPECT_EQ(shown(1.0), (std::vector<bool>{true, true, true, true, true, false, true, true}));
    EXPECT_EQ(shown(0.0), std::vector<bool>(8, false));
    EXPECT_EQ(shown(-3.0), std::vector<bool>(8, false));
    EXPECT_EQ(shown(std::numeric_limits<double>::quiet_NaN()), std::vector<bool>(8, false));
    EXPECT_EQ(shown(7.5), shown(1.0));
    EXPECT_EQ(views.replayCount(0.5), 3u);
    EXPECT_EQ(views.replayCount(1.0), 7u);
    EXPECT_EQ(views.replayCount(std::numeric_limits<double>::infinity()), 7u);
}

TEST(ViewBuilder, OrderRampRunsFromFirstToLastFragment) {
    const FragmentCapture capture = smallCapture();
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    const std::vector<Rgba> image = views.build(View::order);
    // First (pixel 1) blue, last (pixel 2) red; every step changes colour.
    EXPECT_GT(image[1].b, image[1].r);
    EXPECT_GT(image[2].r, image[2].b);
    for (std::uint32_t r = 1; r < index.fragments(); ++r) {
        EXPECT_FALSE(same(image[index.pixelsInOrder()[r]], image[index.pixelsInOrder()[r - 1]]));
    }
    EXPECT_TRUE(black(image[5]));
}

TEST(ViewBuilder, RebuildsReuseOneBuffer) {
    const FragmentCapture capture = makeCapture(SyntheticLayout{});
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    const Rgba* first = views.build(View::order, 0.25).data();
    const std::size_t capacity = views.build(View::overdraw, 0.5).capacity();
    EXPECT_EQ(views.build(View::time, 0.75).data(), first);
    EXPECT_EQ(views.build(View::order, 1.0).capacity(), capacity);
    EXPECT_EQ(views.build(View::order, 1.0).size(), capture.pixelCount());
}

TEST(ViewBuilder, MissingDataShowsCoverageOnly) {
    FragmentCapture capture = smallCapture();
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    for (View view : {View::time, View::subgroups, View::lanes, View::primitives}) {
        EXPECT_FALSE(views.available(view));
        const std::vector<Rgba>& image = views.build(view);
        for (std::size_t p = 0; p < image.size(); ++p) {
            EXPECT_TRUE(
                same(image[p], capture.covered(p) ? ViewBuilder::noData : ViewBuilder::background));
        }
    }
    EXPECT_TRUE(views.available(View::order));
    EXPECT_TRUE(views.available(View::overdraw));
}

TEST(ViewBuilder, SubgroupsTimeAndOverdrawColours) {
    SyntheticLayout layout;
    layout.width = 64;
    layout.height = 64;
    layout.inside = {Unit{4, 2, Walk::rowMajor}};
    layout.subgroupSize = 8;
    FragmentCapture capture = makeCapture(layout);
    capture.freezePoints = {{0, 8, 8, 4, 4}};
    addClock(capture, 100, 900);
    capture.overdraw[capture.pixelIndex(1, 1)] = 3;
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);

    const std::vector<Rgba> subgroups = views.build(View::subgroups);
    // One colour across a subgroup (4 x 2 block), another for the next one.
    EXPECT_TRUE(same(subgroups[capture.pixelIndex(0, 0)], subgroups[capture.pixelIndex(3, 1)]));
    EXPECT_FALSE(same(subgroups[capture.pixelIndex(0, 0)], subgroups[capture.pixelIndex(4, 0)]));
    for (const Rgba& c : subgroups) {
        EXPECT_GE(brightness(c), 3 * 64);
    }

    const std::vector<Rgba> time = views.build(View::time);
    EXPECT_GT(brightness(time[capture.pixelIndex(9, 9)]),
              brightness(time[capture.pixelIndex(30, 30)]));
    EXPECT_TRUE(same(time[capture.pixelIndex(30, 30)], time[capture.pixelIndex(50, 2)]));
    {
        // One pixel a thousand times longer (its thread was descheduled)
        // leaves the freeze point as bright as before.
        FragmentCapture stalled = capture;
        stalled.clockEnd[stalled.pixelIndex(60, 60)] += 1000000;
        ViewBuilder stalledViews(stalled, index);
        const std::vector<Rgba> stalledTime = stalledViews.build(View::time);
        EXPECT_TRUE(same(stalledTime[capture.pixelIndex(9, 9)], time[capture.pixelIndex(9, 9)]));
        EXPECT_TRUE(
            same(stalledTime[capture.pixelIndex(30, 30)], time[capture.pixelIndex(30, 30)]));
    }

    const std::vector<Rgba> overdraw = views.build(View::overdraw);
    EXPECT_FALSE(same(overdraw[capture.pixelIndex(1, 1)], overdraw[capture.pixelIndex(2, 2)]));
    EXPECT_TRUE(same(overdraw[capture.pixelIndex(2, 2)], overdraw[capture.pixelIndex(40, 40)]));

    const std::vector<Rgba> lanes = views.build(View::lanes);
    EXPECT_FALSE(same(lanes[capture.pixelIndex(0, 0)], lanes[capture.pixelIndex(1, 0)]));
    EXPECT_TRUE(same(lanes[capture.pixelIndex(0, 0)], lanes[capture.pixelIndex(4, 0)]));
}

} // namespace
