"""End-to-end tests: the real build/glintmoth, started from a working
directory with Shaders/, under a private X server, driven with xdotool and
its console, checked through what a user sees and reads.

Usage: e2e_test.py BINARY PROJECT_ROOT [unittest options]
"""

import csv
import glob
import json
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import unittest

from glintmoth_driver import (BLACK, BLUE, COVERAGE_LINE, GREEN, RED, SCREEN_HEIGHT, SCREEN_WIDTH,
                              WHITE, Glintmoth, XServer, project_copy, run_to_end)

BINARY = None
ROOT = None
SERVER = None


def setUpModule():
    global SERVER
    SERVER = XServer()


def tearDownModule():
    SERVER.stop()


def window_y(gl_y, height=512):
    """Row from the top of the window for a row counted from the bottom."""
    return height - 1 - gl_y


class ToolTest(unittest.TestCase):
    cwd = None

    def start(self, cwd=None, stdin=subprocess.DEVNULL, args=(), env=None):
        self.app = Glintmoth(BINARY, cwd or ROOT, SERVER.display, stdin=stdin, args=args, env=env)
        self.addCleanup(self.app.kill)
        return self.app

    def assertQuietConsole(self, err):
        """Nothing on standard error but, where the renderer's timer misses
        most of the frame, the one line that says so."""
        self.assertRegex(err, r"\A(%s)?\Z" % COVERAGE_LINE)

    def working_copy(self, shaders=True):
        directory = project_copy(ROOT, shaders)
        self.addCleanup(shutil.rmtree, directory, True)
        return directory


class StartAndConfigure(ToolTest):
    def test_window_bars_report_and_keys(self):
        app = self.start()
        self.assertRegex(app.title(), r"^The Tazzle Glintmoth \(.*February 08\)$")
        app.wait_geometry((512, 512, 512, 512))

        lines = app.wait_for(app.out, r"\A([^\n]*\n){4}").group(0).splitlines()
        self.assertRegex(lines[0], r"\d+\.\d+")
        self.assertRegex(lines[1], r"^MAX 3D texture size: \d+$")
        self.assertRegex(lines[2], r"^GL_MAX_TEXTURE_IMAGE_UNITS_ARB: \d+$")
        self.assertEqual(lines[3], "size short vec: 6")

        report = app.next_report()
        self.assertRegex(report, r"^curTest: 0\nloopsCount: \(2000000, 200000\) \(\(1000000, 100000\)\)\n"
                                 r"blockingEnable: 1\nGlobal Times GL :\nGlobalTime -> .{15} , \n$")

        # Configuration mode: both bars over the white quad.
        shot = app.screenshot()
        self.assertEqual(shot.pixel(100, 400), WHITE)
        self.assertEqual(shot.pixel(0, 511), RED)  # freeze point 0 at the lower-left pixel
        # Both bars kept inside the 512 x 512 window: FreezyPoints against the
        # right edge from the top, MainOptions below it in the corner.
        freezy = (330, 20, 500, 280)
        main = (280, 320, 500, 500)
        for box in (freezy, main):
            self.assertLess(shot.count(WHITE, box), (box[2] - box[0]) * (box[3] - box[1]) // 2)

        # a is the bar's shortcut of "Active Test": the next frames draw the
        # small-primitive checkerboard.
        app.key("a")
        report = app.next_report()
        self.assertTrue(report.startswith("curTest: 1\n"), report)
        shot = app.screenshot()
        self.assertEqual(shot.pixel(0, window_y(0)), RED)
        self.assertEqual(shot.pixel(10, window_y(10)), GREEN)
        self.assertEqual(shot.pixel(40, window_y(10)), BLUE)
        self.assertEqual(shot.pixel(10, window_y(40)), BLUE)
        self.assertEqual(shot.pixel(40, window_y(40)), GREEN)

        # Loop keys change the report exactly.
        app.key("u")
        self.assertIn("loopsCount: (3000000, 200000) ((1000000, 100000))\n", app.next_report())
        app.key("U", "j")
        self.assertIn("loopsCount: (-7000000, 200000) ((10000000, 100000))\n", app.next_report())
        app.key("k", "K", "i")
        self.assertIn("loopsCount: (-7000000, 110000) ((10000000, 10000))\n", app.next_report())
        app.key("b")
        self.assertIn("blockingEnable: 0\n", app.next_report())

        # d switches the report off: no more reports come.
        app.key("d")
        time.sleep(0.5)
        length = len(app.out())
        time.sleep(1.0)
        self.assertEqual(len(app.out()), length)
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())


class MouseDrags(ToolTest):
    def test_left_drag_moves_and_right_drag_sizes_freeze_point_zero(self):
        app = self.start()
        app.settle(2)
        # Freeze point 0 sits on the lower-left pixel; press next to it.
        app.drag(1, (1, 510), (200, 300))
        app.settle(3)
        shot = app.screenshot()
        # The pointer at row 300 from the top is y = 512 - 300 = 212 from the
        # bottom: the pixel in row 299 from the top.
        self.assertEqual(shot.pixel(200, 299), RED)
        self.assertEqual(shot.pixel(0, 511), WHITE)
        self.assertEqual(shot.count(RED, (0, 0, 260, 512)), 1)

        # The right button drags the opposite corner: a 60 x 50 red rectangle
        # from (200, 212) to (259, 261) in pixels from the bottom.
        app.drag(3, (200, 300), (260, 250))
        app.settle(3)
        shot = app.screenshot()
        self.assertEqual(shot.count(RED, (0, 0, 260, 512)), 60 * 50)
        self.assertEqual(shot.pixel(259, 250), RED)
        self.assertEqual(shot.pixel(200, 299), RED)
        self.assertEqual(shot.pixel(260, 250), WHITE)
        self.assertEqual(shot.pixel(259, 249), WHITE)
        self.assertEqual(app.quit(), 0)


class WindowControl(ToolTest):
    def test_end_arrows_page_keys_size_dialogue_and_full_screen(self):
        app = self.start(stdin=subprocess.PIPE)
        app.wait_geometry((512, 512, 512, 512))
        app.key("End", "Right", "Right", "Down")
        app.wait_geometry((514, 513, 512, 512))
        app.move_pointer(300, 300)
        app.key("Next", "Home")
        app.wait_geometry((514, 513, 513, 513))

        # The * dialogue reads both numbers from standard input.
        app.move_pointer(300, 300)
        start = len(app.out())
        app.key("asterisk")
        app.wait_for(app.out, r"WinSize X: ", start=start)
        app.write_stdin("400\n")
        app.wait_for(app.out, r"WinSize X: WinSize Y: ", start=start)
        app.write_stdin("300\n")
        app.wait_geometry((None, None, 400, 300))

        # x: the first restores the saved geometry, the second goes full screen.
        app.move_pointer(100, 100)
        app.key("x")
        app.wait_geometry((514, 513, 400, 300))
        app.move_pointer(100, 100)
        app.key("x")
        # Without a window manager freeglut only resizes to the screen.
        app.wait_geometry((None, None, SCREEN_WIDTH, SCREEN_HEIGHT))
        app.move_pointer(100, 100)
        app.key("x")
        app.wait_geometry((None, None, 400, 300))

        # Letters instead of numbers keep the size and say so; the console
        # still answers the next dialogue.
        app.move_pointer(100, 100)
        start = len(app.out())
        app.key("asterisk")
        app.write_stdin("wide\ntall\n")
        app.wait_for(app.out, r"WinSize X: expected a whole number of pixels; keeping 400\n"
                     r"WinSize Y: expected a whole number of pixels; keeping 300\n", start=start)
        app.settle(2)
        self.assertEqual(app.geometry()[2:], (400, 300))
        app.move_pointer(100, 100)
        app.key("asterisk")
        app.write_stdin("320\n240\n")
        app.wait_geometry((None, None, 320, 240))
        self.assertEqual(app.quit(), 0)


class TestMode(ToolTest):
    def test_space_shows_front_buffer_drawing_without_bars(self):
        app = self.start()
        # Bring the loops to 0 first: real loops take minutes on a CPU.
        app.key("j", "j", "k", "k")
        self.assertIn("loopsCount: (0, 0)", app.next_report())
        app.key("a", "space")
        report = app.next_report()
        self.assertTrue(report.startswith("curTest: 1\n"))
        app.settle(2)
        shot = app.screenshot()
        # No bars: the bar area shows the checkerboard too.
        self.assertEqual(shot.pixel(400, window_y(10)), GREEN if ((400 // 32) + (10 // 32)) % 2 == 0 else BLUE)
        self.assertEqual(shot.count(BLACK), 0)
        self.assertEqual(shot.count(WHITE), 0)
        app.key("space")
        app.settle(2)
        shot = app.screenshot()
        # The bars are back over the checkerboard, which shows through them
        # only darkened.
        box = (330, 20, 500, 280)
        self.assertLess(shot.count(GREEN, box) + shot.count(BLUE, box), 170 * 260 // 10)
        self.assertEqual(app.quit(), 0)


class ShaderFiles(ToolTest):
    def test_r_reloads_an_edited_fragment_shader(self):
        cwd = self.working_copy()
        app = self.start(cwd)
        app.settle(2)
        self.assertEqual(app.screenshot().pixel(100, 400), WHITE)
        path = os.path.join(cwd, "Shaders", "GPUTest_FS.glsl")
        with open(path) as f:
            text = f.read()
        with open(path, "w") as f:
            f.write(text.replace("gl_FragColor = color;", "gl_FragColor = color * vec4(0.0, 0.0, 1.0, 1.0);"))
        app.key("r")
        app.settle(3)
        self.assertEqual(app.screenshot().pixel(100, 400), BLUE)
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())

    def test_missing_shader_directory_is_reported_and_the_tool_goes_on(self):
        app = self.start(self.working_copy(shaders=False))
        app.wait_for(app.err, r"CRITICAL ERROR: Shader::loadSource: unable to open file: "
                              r"\./Shaders//GPUTest_FS\.glsl\n")
        app.wait_for(app.err, r"CRITICAL ERROR: Shader::loadSource: unable to open file: "
                              r"\./Shaders//GPUTest_VS\.glsl\n")
        app.settle(2)
        app.key("a")
        self.assertTrue(app.next_report().startswith("curTest: 1\n"))
        self.assertEqual(app.quit(), 0)

    def test_compile_error_and_include_cycle_are_reported_and_the_tool_goes_on(self):
        cwd = self.working_copy()
        with open(os.path.join(cwd, "Shaders", "GPUTest_FS.glsl"), "a") as f:
            f.write("\nthis is not GLSL;\n")
        with open(os.path.join(cwd, "Shaders", "GPUTest_Common.glsl"), "a") as f:
            f.write('\n#include "GPUTest_Common.glsl"\n')
        app = self.start(cwd)
        app.wait_for(app.err, r"CRITICAL ERROR: [^\n]*GPUTest_Common\.glsl")
        app.wait_for(app.err, r"CRITICAL ERROR: Compilation error \(\./Shaders//GPUTest_FS\.glsl\): ")
        app.settle(2)
        app.key("b")
        self.assertIn("blockingEnable: 0\n", app.next_report())
        self.assertEqual(app.quit(), 0)


def dark(shot, box):
    """Pixels of a bar's background: no capture colour and not the quad."""
    left, top, right, bottom = box
    return sum(1 for y in range(top, bottom) for x in range(left, right) if sum(shot.pixel(x, y)) < 120)


class CaptureInTheWindow(ToolTest):
    # The Capture bar at its place in the top-left corner: its title line,
    # the replay slider's track, the Play box, the speed slider's track and
    # the three buttons, in window pixels from the top-left (left of the
    # scroll bar its rows need).
    TITLE = (60, 19)
    REPLAY = (134, 238, 69)
    PLAY = (137, 92)
    SPEED_MAX = (237, 116)
    SAVE = (128, 138)
    SHOW_LIVE = (128, 161)
    FIT = (128, 184)
    # Right of that bar and below FreezyPoints (MainOptions is hidden in test
    # mode): only the capture shows there.
    FREE = (262, 390, 512, 512)
    FREE_PIXELS = 250 * 122

    def black(self, shot):
        return shot.count(BLACK, self.FREE)

    def test_o_shows_the_capture_the_replay_slider_cuts_it_and_save_writes_it(self):
        cwd = self.working_copy()
        # One raster thread shades the tile rows strictly from the top down.
        # With several, a thread the loaded machine holds back leaves its tile
        # to the end of the order, wherever that tile lies.
        app = self.start(cwd, env={"LP_NUM_THREADS": "1"})
        app.key("j", "j", "k", "k", "space")
        self.assertIn("loopsCount: (0, 0)", app.next_report())
        start = len(app.out())
        app.key("o")
        found = app.wait_for(app.out, r"capture: (\d+) fragments on \d+ pixels; tile \S+",
                             start=start)
        self.assertEqual(found.group(1), str(512 * 512))

        # The order view instead of the white quad, the bar folded to its
        # title line above it.
        shot = app.wait_screen(lambda s: s.pixel(100, 450) != WHITE)
        self.assertNotIn(shot.pixel(100, 450), (WHITE, BLACK))
        self.assertEqual(self.black(shot), 0)
        self.assertEqual(dark(shot, (10, 40, 250, 460)), 0)
        app.click(*self.TITLE)
        app.wait_screen(lambda s: dark(s, (10, 300, 20, 310)) == 100)

        # The replay slider cuts the fragments: none at its left end; at about
        # nine tenths all of the rows above the last tile row (shaded first)
        # but not all of the last.
        left, right, row = self.REPLAY
        app.click(left, row)
        shot = app.wait_screen(lambda s: self.black(s) == self.FREE_PIXELS)
        self.assertEqual(self.black(shot), self.FREE_PIXELS)
        app.click(left + (right - left) * 9 // 10, row)
        above_last_row, last_row = (262, 390, 512, 420), (262, 482, 512, 512)
        shot = app.wait_screen(
            lambda s: s.count(BLACK, above_last_row) == 0 and s.count(BLACK, last_row) > 0)
        self.assertEqual(shot.count(BLACK, above_last_row), 0)
        self.assertGreater(shot.count(BLACK, last_row), 0)
        # Play from the start at the highest speed runs to the end by itself.
        app.click(left, row)
        app.wait_screen(lambda s: self.black(s) == self.FREE_PIXELS)
        app.click(*self.SPEED_MAX)
        app.click(*self.PLAY)
        shot = app.wait_screen(lambda s: self.black(s) == 0, timeout=15)
        self.assertEqual(self.black(shot), 0)

        # Save writes a new directory in the working directory and says where.
        start = len(app.out())
        app.click(*self.SAVE)
        saved = app.wait_for(app.out, r"capture saved to (\S+)\n", start=start).group(1)
        self.assertEqual(os.path.dirname(saved), os.path.realpath(cwd))
        self.assertRegex(os.path.basename(saved), r"^glintmoth-capture-\d{8}-\d{6}$")
        for name in ("summary.json", "fragments.csv", "order.png", "time.png", "subgroups.png",
                     "replay/010.png", "replay/050.png"):
            self.assertTrue(os.path.isfile(os.path.join(saved, name)), name)

        # Show live: the white quad again, and its reports.
        app.click(*self.SHOW_LIVE)
        app.wait_screen(lambda s: s.pixel(100, 450) == WHITE)
        app.move_pointer(100, 450)
        app.next_report()
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())


    def test_the_wheel_zooms_about_the_pointer_the_middle_button_drags_and_fit_shows_it_whole(self):
        app = self.start()
        app.key("j", "j", "k", "k", "space")
        app.next_report()
        app.key("o")
        whole = app.wait_screen(lambda s: s.pixel(100, 450) != WHITE)

        # Two notches up at (400, 450): four times enlarged about that pixel.
        # Window pixel x then shows frame column 300.375 + (x + 0.5) / 4 (the
        # column under the pointer stays), and likewise across the rows.
        def shows(shot, shift):
            for x, y in ((262, 390), (300, 450), (400, 450), (511, 511), (450, 400)):
                frame_x = int(300.375 + shift + (x + 0.5) / 4)
                frame_y = window_y(int(46.125 + (window_y(y) + 0.5) / 4))
                if shot.pixel(x, y) != whole.pixel(frame_x, frame_y):
                    return False
            return True
        self.assertNotEqual(whole.pixel(300, 450), whole.pixel(375, 450))
        app.click(400, 450, button=4)
        app.click(400, 450, button=4)
        self.assertTrue(shows(app.wait_screen(lambda s: shows(s, 0)), 0))

        # Dragged 100 pixels to the left with the middle button: 25 frame
        # columns further right under every window pixel.
        app.drag(2, (400, 450), (300, 450))
        self.assertTrue(shows(app.wait_screen(lambda s: shows(s, 25)), 25))

        # Fit, in the bar opened by its title line: the whole frame again.
        app.click(*self.TITLE)
        app.click(*self.FIT)
        free = lambda s: all(s.pixel(x, y) == whole.pixel(x, y)
                             for x in range(262, 512, 7) for y in range(390, 512, 5))
        self.assertTrue(free(app.wait_screen(free)))
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())


class ThePictureStaysInView(ToolTest):
    # Where the Statistics bar stood at start when it was open: the window's
    # top-left corner, under the title line it is folded to.
    STATISTICS = (0, 19, 300, 240)
    STATISTICS_TITLE = (150, 9)

    def test_the_bars_beyond_the_two_fold_to_their_title_and_open_on_a_click(self):
        app = self.start()
        app.settle(2)
        shot = app.screenshot()
        # Left of MainOptions and FreezyPoints, below the title line: the
        # white quad, freeze point 0 red at its lower-left pixel.
        self.assertEqual(shot.count(WHITE, self.STATISTICS), 300 * 221)
        self.assertEqual(shot.count(WHITE, (0, 19, 262, 512)), 262 * 493 - 1)
        self.assertEqual(shot.pixel(0, 511), RED)

        # A click on the title line opens the bar over the quad (only its
        # text is white there); it stays open through test mode and back.
        app.click(*self.STATISTICS_TITLE)
        covered = lambda s: s.count(WHITE, self.STATISTICS) < 300 * 221 // 20
        self.assertTrue(covered(app.wait_screen(covered)))
        app.key("j", "j", "k", "k", "space")
        self.assertIn("loopsCount: (0, 0)", app.next_report())
        app.key("space")
        app.settle(2)
        self.assertTrue(covered(app.screenshot()))

        # A capture takes the Statistics bar's place with a bar folded the
        # same way: the capture shows under it; open, it covers that place.
        app.key("o")
        shot = app.wait_screen(lambda s: s.pixel(100, 450) != WHITE)
        self.assertEqual(dark(shot, (10, 40, 250, 460)), 0)
        app.click(*CaptureInTheWindow.TITLE)
        app.wait_screen(lambda s: dark(s, (10, 300, 20, 310)) == 100)
        # Show live: the Statistics bar is back as the user left it, open.
        app.click(*CaptureInTheWindow.SHOW_LIVE)
        self.assertTrue(covered(app.wait_screen(lambda s: s.pixel(100, 450) == WHITE)))
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())


class CaptureOnTheCommandLine(ToolTest):
    def scratch(self):
        directory = tempfile.mkdtemp(prefix="glintmoth-e2e-capture-")
        self.addCleanup(shutil.rmtree, directory, True)
        return directory

    def capture(self, directory, *settings, threads):
        status, out, err = run_to_end(
            BINARY, ["--capture", directory] + [a for s in settings for a in ("--set", s)], ROOT,
            SERVER.display, env={"LP_NUM_THREADS": str(threads)})
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "")
        self.assertIn("capture written to %s\n" % directory, out)
        with open(os.path.join(directory, "summary.json")) as f:
            summary = json.load(f)
        with open(os.path.join(directory, "fragments.csv")) as f:
            rows = list(csv.DictReader(f))
        return summary, rows

    def test_one_raster_thread_shows_llvmpipe_tiles_subgroups_and_the_freeze_point(self):
        # A 64 x 48 freeze point whose pixels run 4,000 cycles, the others 100.
        directory = os.path.join(self.scratch(), "capture")
        summary, rows = self.capture(directory, "loopsCount=4000,100",
                                     "freezePoints[0]=96,320,64,48", threads=1)
        self.assertEqual((summary["width"], summary["height"], summary["fragments"]),
                         (512, 512, 512 * 512))
        self.assertEqual((summary["tile"]["width"], summary["tile"]["height"]), (64, 64))
        self.assertGreater(summary["tile"]["confidence"], 0.9)
        self.assertEqual(summary["traversal"], "row-major")
        # From the top, as the live frame fills the window.
        self.assertEqual(summary["traversal_detail"]["y_direction"], "top-to-bottom")
        self.assertEqual((summary["subgroup"]["size"], summary["subgroup"]["lanes"]), (8, 8))
        point = summary["freeze_points"][0]
        self.assertEqual((point["index"], point["x"], point["y"], point["w"], point["h"]),
                         (0, 96, 320, 64, 48))
        self.assertGreater(point["ratio"], 5)
        for name in ("order.png", "time.png", "subgroups.png", "replay/010.png",
                     "replay/025.png", "replay/050.png", "replay/075.png"):
            self.assertTrue(os.path.isfile(os.path.join(directory, name)), name)

        # The slow pixels are exactly the point's: per column across its rows
        # and per row across its columns, the median cycles jump at its edges.
        cycles = {(int(r["x"]), int(r["y"])): int(r["clock_end"]) - int(r["clock_start"])
                  for r in rows}
        self.assertEqual(len(cycles), 512 * 512)
        threshold = (point["inside_cycles_median"] * point["outside_cycles_median"]) ** 0.5
        slow_columns = [x for x in range(512)
                        if statistics.median(cycles[x, y] for y in range(320, 368)) > threshold]
        slow_rows = [y for y in range(512)
                     if statistics.median(cycles[x, y] for x in range(96, 160)) > threshold]
        self.assertEqual(slow_columns, list(range(96, 160)))
        self.assertEqual(slow_rows, list(range(320, 368)))

    def test_several_raster_threads_still_number_every_fragment_once(self):
        directory = os.path.join(self.scratch(), "capture")
        summary, rows = self.capture(directory, "loopsCount=0,0", "curTest=1", "primStep=4,4",
                                     threads=4)
        # Quads of 8 x 8 pixels every 4 pixels overlap: every fragment has a
        # row and its own number, from 0 up; each pixel's layers count its
        # fragments from 0.
        orders = sorted(int(r["order"]) for r in rows)
        self.assertEqual(orders, list(range(len(rows))))
        self.assertGreater(len(rows), 3 * 512 * 512)
        first = [r for r in rows if r["layer"] == "0"]
        self.assertEqual(len(first), 512 * 512)
        self.assertEqual(sum(int(r["overdraw"]) for r in first), len(rows))
        self.assertEqual((summary["fragments"], summary["pixels"], summary["dropped"]),
                         (len(rows), 512 * 512, 0))

    def test_bad_input_gives_one_line_a_non_zero_exit_and_writes_nothing(self):
        scratch = self.scratch()
        with open(os.path.join(scratch, "file"), "w") as f:
            f.write("not a directory")
        os.mkdir(os.path.join(scratch, "letters"))
        with open(os.path.join(scratch, "letters", "keep.txt"), "w") as f:
            f.write("keep me")
        target = os.path.join(scratch, "capture")
        cases = [
            (["--capture", os.path.join(scratch, "missing", "capture")], {},
             r"^glintmoth: --capture '.*/missing/capture': "),
            (["--capture", os.path.join(scratch, "file")], {}, r"^glintmoth: --capture .*: "),
            (["--capture", target, "--set", "noSuchSetting=1"], {},
             r"^glintmoth: --set 'noSuchSetting=1': unknown setting"),
            (["--capture", os.path.join(scratch, "letters"), "--set", "loopsCount=0,0"], {},
             r"^glintmoth: cannot write capture to '.*/letters': .*not an earlier capture"),
            (["--capture", target, "--set", "loopsCount=0,0"],
             {"MESA_GL_VERSION_OVERRIDE": "3.3COMPAT"},
             r"^glintmoth: fragment capture needs OpenGL 4\.3 .*this context offers 3\.3$"),
        ]
        for args, env, message in cases:
            with self.subTest(args=args, env=env):
                status, _, err = run_to_end(BINARY, args, ROOT, SERVER.display, env=env)
                self.assertNotEqual(status, 0)
                self.assertEqual(err.count("\n"), 1, err)
                self.assertRegex(err.rstrip("\n"), message)
                self.assertEqual(sorted(os.listdir(scratch)), ["file", "letters"])
                self.assertEqual(os.listdir(os.path.join(scratch, "letters")), ["keep.txt"])


class BadKeys(ToolTest):
    def test_sizes_steps_and_increments_driven_past_their_limits(self):
        app = self.start()
        app.key("a")
        app.key(*["h"] * 34)           # tile size 32 -> -2
        app.key(*["g"] * 10)           # step 8 -> -2
        report = app.next_report()
        self.assertTrue(report.startswith("curTest: 1\n"), report)
        app.settle(2)
        self.assertEqual(app.screenshot().count(GREEN, (0, 0, 340, 512)), 0)
        app.key(*["U"] * 40)           # the increment wraps around
        wrapped = (1000000 * 10 ** 40) % 2 ** 32
        wrapped -= 2 ** 32 if wrapped >= 2 ** 31 else 0
        self.assertIn("loopsCount: (2000000, 200000) ((%d, 100000))" % wrapped, app.next_report())
        app.key("y")
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())


class CommandLine(ToolTest):
    def test_help_and_version_answer_without_a_display(self):
        status, out, err = run_to_end(BINARY, ["--help"], ROOT)
        self.assertEqual((status, err), (0, ""))
        self.assertIn("--frames N", out)
        self.assertIn("--sweep NAME=FROM:TO:STEP", out)
        self.assertIn("loopsCount.x: integer", out)
        self.assertIn("freezePoints[3].SizeY: integer", out)
        status, out, err = run_to_end(BINARY, ["--version"], ROOT)
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"^glintmoth \d+\.\d+\.\d+\n$")

    def test_bad_input_is_one_line_and_status_2_before_any_window(self):
        cwd = self.working_copy()
        with open(os.path.join(cwd, "broken.json"), "w") as f:
            f.write('{\n  "loopsCount.x": 5,\n}\n')
        cases = [
            (["--set", "nope=1"], "unknown setting 'nope'"),
            (["--set", "loopsCount.x=12a"], "loopsCount.x: '12a' is not a whole number"),
            (["--set", "fastMode=2"], "fastMode"),
            (["--frames", "0"], "--frames '0'"),
            (["--frames", "-3"], "--frames '-3'"),
            (["--frames", "2", "--sweep", "loopsCount.y=0:10:0"], "loopsCount.y=0:10:0"),
            (["--frames", "2", "--sweep", "loopsCount.y=10:0:1"], "loopsCount.y=10:0:1"),
            (["--frames", "2", "--csv", "no/such/dir/frames.csv"], "no/such/dir/frames.csv"),
            (["--frames", "2", "--settings", "broken.json"], "broken.json:3:1"),
            (["--frames", "2", "--settings", "missing.json"], "missing.json"),
            (["--capture", "no/such/dir/capture"], "no/such/dir/capture"),
            (["--frames", "2", "--capture", "out"], "--capture"),
            (["--bogus"], "--bogus"),
        ]
        for args, culprit in cases:
            # No display at all: a tool that reached GLUT would fail there
            # with a message of its own.
            status, out, err = run_to_end(BINARY, args, cwd)
            self.assertEqual(status, 2, (args, err))
            self.assertEqual(out, "", args)
            self.assertRegex(err, r"\Aglintmoth: [^\n]+\n\Z", args)
            self.assertIn(culprit, err, args)
        # Nothing half-written.
        self.assertEqual(sorted(os.listdir(cwd)), ["Shaders", "broken.json"])


class FilesThatAreNotOurs(ToolTest):
    """What the tool writes never replaces what it did not write itself."""

    def tree(self, directory):
        """Every entry under the directory with its kind and, for files, text."""
        found = {}
        for parent, directories, files in os.walk(directory):
            for name in directories + files:
                path = os.path.join(parent, name)
                relative = os.path.relpath(path, directory)
                if os.path.islink(path):
                    found[relative] = "link to " + os.readlink(path)
                elif os.path.isfile(path):
                    with open(path, "rb") as f:
                        found[relative] = f.read()
                else:
                    found[relative] = "directory" if os.path.isdir(path) else "other"
        return found

    def refused(self, args, cwd, status):
        status_seen, out, err = run_to_end(BINARY, args, cwd, SERVER.display)
        self.assertEqual(status_seen, status, (args, err))
        self.assertRegex(err, r"\Aglintmoth: [^\n]+\n\Z", args)
        return err

    def test_capture_replaces_only_a_directory_that_holds_an_earlier_capture(self):
        cwd = self.working_copy()
        # A directory of work with a summary.json in it, a directory named
        # summary.json, and the working directory itself.
        os.makedirs(os.path.join(cwd, "u", "data"))
        os.makedirs(os.path.join(cwd, "u", ".git"))
        os.makedirs(os.path.join(cwd, "w", "summary.json"))
        for name, content in (("u/summary.json", "{}"), ("u/thesis.tex", "t"), ("summary.json", "{}")):
            with open(os.path.join(cwd, name), "w") as f:
                f.write(content)
        before = self.tree(cwd)
        for target in ("u", "w", cwd):
            self.refused(["--capture", target, "--set", "loopsCount=0,0"], cwd, 1)
            self.assertEqual(self.tree(cwd), before, target)

        # An earlier capture is replaced whole, but not once something else
        # has joined it.
        for _ in range(2):
            status, _, err = run_to_end(BINARY, ["--capture", "c", "--set", "loopsCount=0,0"], cwd,
                                        SERVER.display)
            self.assertEqual((status, err), (0, ""))
        with open(os.path.join(cwd, "c", "notes.txt"), "w") as f:
            f.write("mine")
        before = self.tree(cwd)
        self.refused(["--capture", "c", "--set", "loopsCount=0,0"], cwd, 1)
        self.assertEqual(self.tree(cwd), before)

    def test_results_files_replace_only_regular_files_and_never_one_file_twice(self):
        cwd = self.working_copy()
        with open(os.path.join(cwd, "keep.txt"), "w") as f:
            f.write("keep me")
        os.symlink("keep.txt", os.path.join(cwd, "link.csv"))
        os.mkfifo(os.path.join(cwd, "fifo.csv"))
        os.mkdir(os.path.join(cwd, "o"))
        before = self.tree(cwd)
        batch = ["--frames", "1", "--warmup", "0"]
        for args, culprit in ((["--csv", "link.csv"], "link.csv"), (["--json", "link.csv"], "link.csv"),
                              (["--csv", "fifo.csv"], "fifo.csv"),
                              (["--csv", "o/x.out", "--json", "./o/../o/x.out"], "the same file")):
            self.assertIn(culprit, self.refused(batch + args, cwd, 2))
            self.assertEqual(self.tree(cwd), before, args)


class BatchRuns(ToolTest):
    def test_a_loop_count_sweep_writes_files_whose_wall_medians_rise(self):
        cwd = self.working_copy()
        # A thousand cycles a step: each adds about 0.1 s to a frame on
        # llvmpipe, far more than a loaded machine's noise.
        status, out, err = run_to_end(
            BINARY, ["--frames", "5", "--warmup", "2", "--set", "freezePointEnabled[0]=0",
                     "--sweep", "loopsCount.y=0:2000:1000", "--csv", "frames.csv",
                     "--json", "results.json", "--report"],
            cwd, SERVER.display)
        self.assertEqual(status, 0, err)
        # Progress as plain lines (standard error is no terminal here), and
        # on llvmpipe the timer's warning.
        self.assertRegex(err, r"\Aconfiguration 1/3: loopsCount.y=0 \(\? left\)\n")
        self.assertIn("configuration 3/3: loopsCount.y=2000 (", err)
        self.assertRegex(err, COVERAGE_LINE)
        # --report: the frames' own reports and each configuration's summary,
        # after the start-up lines.
        self.assertEqual(out.splitlines()[3], "size short vec: 6")
        self.assertIn("loopsCount: (2000000, 1000) ((1000000, 100000))\n", out)
        self.assertRegex(out, r"configuration 2/3: loopsCount.y=1000: 5 frames\n  wall_s: median ")

        with open(os.path.join(cwd, "frames.csv")) as f:
            rows = f.read().splitlines()
        self.assertEqual(rows[0], "config,frame,loopsCount.y,gpu_s,wall_s")
        self.assertEqual(len(rows), 1 + 3 * 5)
        walls = {}
        for row in rows[1:]:
            config, frame, loops, gpu, wall = row.split(",")
            walls.setdefault(int(loops), []).append(float(wall))
        medians = [statistics.median(walls[loops]) for loops in (0, 1000, 2000)]
        self.assertLess(medians[0], medians[1])
        self.assertLess(medians[1], medians[2])

        with open(os.path.join(cwd, "results.json")) as f:
            results = json.load(f)
        configurations = results["configurations"]
        self.assertEqual([c["swept"]["loopsCount.y"] for c in configurations], [0, 1000, 2000])
        self.assertEqual([c["settings"]["loopsCount.y"] for c in configurations], [0, 1000, 2000])
        self.assertEqual([c["frames"] for c in configurations], [5, 5, 5])
        self.assertEqual([c["wall_s"]["median"] for c in configurations], medians)
        self.assertTrue(all(c["settings"]["fastMode"] is False for c in configurations))
        self.assertEqual(configurations[2]["trust"], "wall_s")
        self.assertEqual(sorted(os.listdir(cwd)), ["Shaders", "frames.csv", "results.json"])

    def test_settings_file_then_set_then_sweep(self):
        cwd = self.working_copy()
        with open(os.path.join(cwd, "older.json"), "w") as f:
            json.dump({"loopsCount.x": 5, "loopsCount.y": 6, "curTest": 1, "retiredSetting": 3,
                       "numShaderRegs": "many"}, f)
        status, out, err = run_to_end(
            BINARY, ["--settings", "older.json", "--set", "loopsCount.x=7", "--set", "winSize=200,100",
                     "--frames", "1", "--warmup", "0", "--sweep", "loopsCount.y=8:9:1",
                     "--json", "r.json"],
            cwd, SERVER.display)
        self.assertEqual(status, 0, err)
        self.assertNotIn("Global Times GL", out)  # no report without --report
        self.assertIn("INFO: older.json: ignored unknown settings: retiredSetting\n", err)
        self.assertIn("INFO: older.json: numShaderRegs: expected a whole number", err)
        with open(os.path.join(cwd, "r.json")) as f:
            configurations = json.load(f)["configurations"]
        settings = [c["settings"] for c in configurations]
        self.assertEqual([(s["loopsCount.x"], s["loopsCount.y"], s["curTest"]) for s in settings],
                         [(7, 8, 1), (7, 9, 1)])
        self.assertEqual((settings[0]["winSize.x"], settings[0]["winSize.y"]), (200, 100))


# The fragment shader's main, made to spin for ever (past llvmpipe's cut of
# each loop at 65,535 iterations) once the standard loop count passes 5.
ENDLESS_MAIN = """void main()
{
    float spin = 0.0;
    if (userParam.y > 5.0)
        for (int i = 0; i < 65535; ++i)
            for (int j = 0; j < 65535; ++j)
                spin += sin(spin + float(j));
    if (spin < -1.0e30)
        discard;
"""


class UnattendedRuns(ToolTest):
    """Batch runs and captures fail loudly in one line, never wait on the
    console and never leave results measured through a broken program."""

    def run_with_open_stdin(self, args, cwd):
        """Standard input left open, as `sleep 25 | glintmoth ...` leaves it."""
        console, writer = os.pipe()
        self.addCleanup(os.close, writer)
        with open(console, "rb") as stdin:
            status, out, err = run_to_end(BINARY, args, cwd, SERVER.display, timeout=60, stdin=stdin)
        return status, out, err

    def test_broken_shaders_fail_batch_and_capture_in_one_line_without_waiting(self):
        def missing(shaders):
            shutil.rmtree(shaders)

        def empty(shaders):
            for name in os.listdir(shaders):
                os.remove(os.path.join(shaders, name))

        def not_compiling(shaders):
            with open(os.path.join(shaders, "GPUTest_FS.glsl"), "a") as f:
                f.write("\nthis is not GLSL;\n")

        def include_cycle(shaders):
            with open(os.path.join(shaders, "GPUTest_Common.glsl"), "a") as f:
                f.write('\n#include "GPUTest_Common.glsl"\n')

        for breakage, culprit in ((missing, r"Shader::loadSource: unable to open file: \./Shaders//GPUTest_FS\.glsl"),
                                  (empty, r"Shader::loadSource: unable to open file: \./Shaders//GPUTest_FS\.glsl"),
                                  (not_compiling, r"Compilation error \(\./Shaders//GPUTest_FS\.glsl\): "
                                                  r"\d+:\d+\(\d+\): error: "),
                                  (include_cycle, r"expandIncludes: include nesting deeper than 32, "
                                                  r"stopped at: .*GPUTest_Common\.glsl")):
            cwd = self.working_copy()
            breakage(os.path.join(cwd, "Shaders"))
            before = sorted(os.listdir(cwd))
            for args in (["--frames", "2", "--csv", "c.csv", "--json", "r.json"], ["--capture", "cap"]):
                with self.subTest(breakage=breakage.__name__, args=args):
                    status, _, err = self.run_with_open_stdin(args + ["--set", "loopsCount=0,0"], cwd)
                    self.assertEqual(status, 1, err)
                    self.assertNotIn("CRITICAL ERROR", err)
                    failures = [line for line in err.splitlines() if line.startswith("glintmoth: ")]
                    self.assertEqual(len(failures), 1, err)
                    self.assertRegex(failures[0], r"^glintmoth: " + culprit)
                    self.assertEqual(sorted(os.listdir(cwd)), before)

    def test_a_shader_that_never_ends_is_stopped_at_the_timeout_with_the_results_before_it(self):
        cwd = self.working_copy()
        path = os.path.join(cwd, "Shaders", "GPUTest_FS.glsl")
        with open(path) as f:
            text = f.read()
        with open(path, "w") as f:
            f.write(text.replace("void main()\n{\n", ENDLESS_MAIN, 1))
        status, _, err = run_to_end(
            BINARY, ["--frames", "2", "--warmup", "0", "--set", "loopsCount.x=0", "--sweep",
                     "loopsCount.y=0:10:10", "--timeout", "2", "--csv", "c.csv", "--json", "r.json"],
            cwd, SERVER.display, timeout=60)
        self.assertEqual(status, 1, err)
        self.assertTrue(err.endswith("glintmoth: configuration 2/2: loopsCount.y=10: still running "
                                     "after --timeout 2 s; stopped\n"), err)
        with open(os.path.join(cwd, "c.csv")) as f:
            self.assertEqual([row.split(",")[:3] for row in f.read().splitlines()],
                             [["config", "frame", "loopsCount.y"], ["0", "0", "0"], ["0", "1", "0"]])
        with open(os.path.join(cwd, "r.json")) as f:
            self.assertEqual([c["swept"] for c in json.load(f)["configurations"]],
                             [{"loopsCount.y": 0}])

        status, _, err = run_to_end(BINARY, ["--capture", "cap", "--set", "loopsCount=10,10",
                                             "--timeout", "2"], cwd, SERVER.display, timeout=60)
        self.assertEqual((status, err), (1, "glintmoth: the capture: still running after --timeout "
                                            "2 s; stopped\n"))
        self.assertEqual(sorted(os.listdir(cwd)), ["Shaders", "c.csv", "r.json"])

    def test_a_window_too_large_is_refused_and_no_warm_up_still_drops_the_first_frame(self):
        cwd = self.working_copy()
        status, _, err = run_to_end(BINARY, ["--frames", "1", "--set", "winSize=40000,40000",
                                             "--json", "r.json"], cwd, SERVER.display)
        self.assertEqual(status, 2, err)
        self.assertRegex(err, r"\Aglintmoth: winSize: a window of 40000 x 40000 is larger than "
                              r"this GL/X allows \(at most \d+ a side\)\n\Z")
        self.assertEqual(os.listdir(cwd), ["Shaders"])

        # The very first timer result after start-up is garbage (about the
        # uptime on llvmpipe): without a warm-up it must not be measured.
        status, _, err = run_to_end(BINARY, ["--frames", "3", "--warmup", "0", "--set",
                                             "loopsCount=0,0", "--csv", "c.csv", "--json", "r.json"],
                                    cwd, SERVER.display)
        self.assertEqual(status, 0, err)
        with open(os.path.join(cwd, "r.json")) as f:
            configuration = json.load(f)["configurations"][0]
        self.assertEqual(configuration["frames"], 3)
        self.assertLess(configuration["gpu_s"]["max"], 10 * configuration["wall_s"]["max"])
        with open(os.path.join(cwd, "c.csv")) as f:
            self.assertEqual(len(f.read().splitlines()), 1 + 3)


class RecordingAndSettingsKeys(ToolTest):
    def test_w_records_frames_and_s_saves_settings_that_the_next_run_loads(self):
        cwd = self.working_copy()
        app = self.start(cwd)
        app.settle(2)
        start = len(app.out())
        app.key("w")
        path = app.wait_for(app.out, r"recording frames to (\S+) \(w stops\)\n", start=start).group(1)
        self.assertEqual(os.path.dirname(path), os.path.realpath(cwd))
        self.assertRegex(os.path.basename(path), r"^glintmoth-frames-\d{8}-\d{6}\.csv$")
        app.settle(3)
        app.key("u")  # a new configuration in the recording
        app.settle(3)
        self.assertFalse(os.path.exists(path))  # written when the recording stops
        start = len(app.out())
        app.key("w")
        frames = int(app.wait_for(app.out, r"wrote (\d+) frames to " + re.escape(path) + r"\n",
                                  start=start).group(1))
        with open(path) as f:
            rows = f.read().splitlines()
        self.assertEqual(rows[0], "config,frame,gpu_s,wall_s")
        self.assertEqual(len(rows), 1 + frames)
        self.assertGreaterEqual(frames, 6)
        self.assertEqual(rows[1].split(",")[:2], ["0", "0"])
        self.assertGreaterEqual(int(rows[-1].split(",")[0]), 1)

        start = len(app.out())
        app.key("s")
        saved = app.wait_for(app.out, r"settings written to (\S+)\n", start=start).group(1)
        self.assertEqual(saved, os.path.join(os.path.realpath(cwd), "glintmoth-settings.json"))
        with open(saved) as f:
            settings = json.load(f)
        self.assertEqual(settings["loopsCount.x"], 3000000)
        self.assertIs(settings["fastMode"], False)  # what test mode runs with
        self.assertEqual(len(settings), 55)
        self.assertEqual(app.quit(), 0)
        self.assertQuietConsole(app.err())

        # The saved file, then --set over it, and the window placed as they say.
        app = self.start(cwd, args=["--settings", "glintmoth-settings.json", "--set", "loopsCount.y=5",
                                    "--set", "winSize=400,300"])
        app.wait_geometry((512, 512, 400, 300))
        self.assertIn("loopsCount: (3000000, 5) ((1000000, 100000))\n", app.next_report())
        self.assertEqual(app.quit(), 0)

    def test_a_broken_settings_file_is_named_and_the_session_starts_with_defaults(self):
        cwd = self.working_copy()
        with open(os.path.join(cwd, "broken.json"), "w") as f:
            f.write('{"loopsCount.x": 5,\n "curTest": }\n')
        app = self.start(cwd, args=["--settings", "broken.json"])
        app.wait_for(app.err, r"\AINFO: broken\.json:2:13: [^\n]+: the settings file is ignored; "
                              r"starting with the default settings\n")
        self.assertIn("loopsCount: (2000000, 200000)", app.next_report())
        self.assertEqual(app.quit(), 0)


class WithoutADisplay(ToolTest):
    """--frames and --capture with DISPLAY unset draw into an EGL context;
    what they write matches what the window gives and says where it came from."""

    def test_a_sweep_and_a_capture_match_the_window_and_record_their_context(self):
        status, out, err = run_to_end(BINARY, ["--list-devices"], ROOT)
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"\A(\d+|surfaceless): [^\n]+, [^\n]+\n")

        sweep = ["--frames", "3", "--warmup", "1", "--set", "freezePointEnabled[0]=0",
                 "--sweep", "loopsCount.y=0:400:200", "--sweep", "winSize.x=256:512:256",
                 "--csv", "f.csv", "--json", "r.json"]
        runs = {}
        for where, display in (("window", SERVER.display), ("headless", None)):
            cwd = self.working_copy()
            status, out, err = run_to_end(BINARY, sweep, cwd, display)
            self.assertEqual(status, 0, err)
            self.assertRegex(out.splitlines()[4], r"^context: (glx|egl-device \d+|egl-surfaceless), ")
            with open(os.path.join(cwd, "f.csv")) as f:
                rows = [row.split(",")[:3] for row in f.read().splitlines()]
            with open(os.path.join(cwd, "r.json")) as f:
                results = json.load(f)
            runs[where] = rows, results
        (window_rows, window), (headless_rows, headless) = runs["window"], runs["headless"]
        self.assertEqual(window_rows, headless_rows)
        self.assertEqual(len(headless_rows), 1 + 6 * 3)
        self.assertEqual([c["settings"] for c in window["configurations"]],
                         [c["settings"] for c in headless["configurations"]])
        self.assertEqual(window["context"]["platform"], "glx")
        self.assertIsNone(window["context"]["device"])
        self.assertIn(headless["context"]["platform"], ("egl-device", "egl-surfaceless"))
        self.assertEqual(headless["context"]["renderer"], window["context"]["renderer"])
        # The swept width reached the frame: 400 loop cycles over twice the
        # pixels cost more.
        walls = {(c["settings"]["loopsCount.y"], c["settings"]["winSize.x"]): c["wall_s"]["median"]
                 for c in headless["configurations"]}
        self.assertLess(walls[400, 256], walls[400, 512])

        # On one raster thread llvmpipe shades in the same order each time:
        # the default quad's order map, pixel for pixel, in and out of a window.
        orders = {}
        for where, display in (("window", SERVER.display), ("headless", None)):
            directory = os.path.join(self.working_copy(shaders=False), "capture")
            status, out, err = run_to_end(BINARY, ["--capture", directory], ROOT, display,
                                          env={"LP_NUM_THREADS": "1"})
            self.assertEqual((status, err), (0, ""))
            with open(os.path.join(directory, "fragments.csv")) as f:
                orders[where] = [(r["x"], r["y"], r["order"]) for r in csv.DictReader(f)]
            with open(os.path.join(directory, "summary.json")) as f:
                context = json.load(f)["context"]
            self.assertEqual(context["platform"] == "glx", display is not None)
        self.assertEqual(len(orders["headless"]), 512 * 512)
        self.assertEqual(orders["window"], orders["headless"])

    def test_two_captures_of_different_sizes_compare_and_a_stranger_directory_is_refused(self):
        cwd = self.working_copy()
        for name, size in (("a", "512,512"), ("b", "320,200")):
            status, _, err = run_to_end(
                BINARY, ["--capture", name, "--set", "loopsCount=0,0", "--set", "winSize=" + size],
                cwd, env={"LP_NUM_THREADS": "1"})
            self.assertEqual((status, err), (0, ""))

        status, out, err = run_to_end(BINARY, ["--compare", "a", "a"], cwd)
        self.assertEqual((status, err), (0, ""))
        self.assertIn("rank correlation 1.0000\nsame tile position 1.0000\n", out)
        status, out, err = run_to_end(BINARY, ["--compare", "a", "b/"], cwd)
        self.assertEqual((status, err), (0, ""))
        self.assertRegex(out, r"\A {11}a +b/\ntile +\S+")
        self.assertRegex(out, r"\nsize +512x512 +320x200\n")
        self.assertIn("compared over 320x200, ", out)
        self.assertRegex(out, r"\nrank correlation -?[01]\.\d{4}\n")
        with open(os.path.join(cwd, "a-vs-b.png"), "rb") as f:
            header = f.read(24)
        self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(struct.unpack(">II", header[16:24]), (320, 200))

        for args in (["--compare", "a", "Shaders"], ["--compare", "a", "b", "--frames", "1"],
                     ["--compare", "a"]):
            status, out, err = run_to_end(BINARY, args, cwd)
            self.assertEqual((status, out), (2, ""), args)
            self.assertRegex(err, r"\Aglintmoth: [^\n]*--compare[^\n]*\n\Z", args)
        self.assertIn("not a capture directory", run_to_end(BINARY, ["--compare", "a", "Shaders"], cwd)[2])
        self.assertEqual(sorted(os.listdir(cwd)), ["Shaders", "a", "a-vs-a.png", "a-vs-b.png", "b"])

    def test_bad_devices_and_a_missing_driver_are_one_line_and_write_nothing(self):
        cwd = self.working_copy()
        cases = [
            (["--frames", "1", "--json", "r.json", "--device", "7"], {}, 2, "--device 7: there "),
            (["--capture", "c", "--device", "-1"], {}, 2, "--device '-1'"),
            (["--headless"], {}, 2, "--headless needs --frames or --capture"),
            ([], {}, 1, "the interactive session needs an X display"),
            # glvnd finds no EGL driver at all.
            (["--frames", "1", "--csv", "f.csv"], {"__EGL_VENDOR_LIBRARY_FILENAMES": "/nonexistent"},
             1, "EGL offers neither a device"),
        ]
        for args, env, wanted, culprit in cases:
            status, out, err = run_to_end(BINARY, args, cwd, env=env)
            self.assertEqual(status, wanted, (args, err))
            self.assertRegex(err, r"\Aglintmoth: [^\n]+\n\Z", args)
            self.assertIn(culprit, err, args)
        self.assertEqual(sorted(os.listdir(cwd)), ["Shaders"])


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv[1])
    ROOT = os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
