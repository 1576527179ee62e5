"""Drives the real glintmoth executable the way a user does: an X server of
its own (Xvfb), keys, clicks and drags through xdotool, standard input
through a pipe, standard output and error captured, screenshots of the window.
"""

import os
import re
import select
import shutil
import subprocess
import tempfile
import threading
import time


def _screen():
    """The geometry of the X screen every headless run gets, from the helper
    that the scripts source, so that there is one place to change it."""
    helper = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                          "xvfb.sh")
    with open(helper) as text:
        return re.search(r"^glintmoth_screen=(\S+)$", text.read(), re.M).group(1)


SCREEN = _screen()
SCREEN_WIDTH, SCREEN_HEIGHT = (int(n) for n in SCREEN.split("x")[:2])
CONVERT = "/usr/bin/convert"


class XServer:
    """A private Xvfb, so that nothing else on the display takes the focus.
    It must not reset when the tool of one test leaves: a connection made
    during a reset fails."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", SCREEN, "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            ready, _, _ = select.select([read_fd], [], [], 1)
            if ready:
                chunk = os.read(read_fd, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_fd)
        if not number.strip():
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Image:
    """A screenshot of the window; pixel (x, y) counts from the top-left."""

    def __init__(self, ppm):
        # P6, then width, height and maximum, any of them behind "#" comments.
        match = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not match or match.group(3) != b"255":
            raise ValueError("not an 8-bit PPM picture: %r" % ppm[:40])
        self.width, self.height = int(match.group(1)), int(match.group(2))
        self.data = ppm[match.end():]

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d" % (x, y, self.width, self.height))
        at = (y * self.width + x) * 3
        return tuple(self.data[at:at + 3])

    def count(self, color, box=None):
        left, top, right, bottom = box or (0, 0, self.width, self.height)
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if self.pixel(x, y) == color)

    def save_png(self, path):
        subprocess.run([CONVERT, "ppm:-", "png:" + path], input=self.ppm(), check=True)

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data


WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (255, 0, 0)
GREEN = (0, 255, 0)
BLUE = (0, 0, 255)


def tool_environment(display=None, extra=None):
    """The environment the tool runs in, with the extra variables; without a
    display, none at all."""
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    if display:
        env["DISPLAY"] = display
    # The process ends with live GL driver allocations; leak reports of the
    # driver would only hide what these tests look at.
    env["ASAN_OPTIONS"] = "detect_leaks=0"
    env.update(extra or {})
    return env


def run_to_end(binary, args, cwd, display=None, timeout=120, env=None, stdin=subprocess.DEVNULL):
    """A run that needs no input (a batch, a capture, a refused command line):
    its exit status, standard output and standard error."""
    result = subprocess.run([binary, *args], cwd=cwd, env=tool_environment(display, env),
                            stdin=stdin, capture_output=True, timeout=timeout)
    return result.returncode, result.stdout.decode(errors="replace"), result.stderr.decode(errors="replace")


# What a renderer whose timer misses most of the frame (llvmpipe) makes the
# tool say once.
COVERAGE_LINE = r"INFO: the GPU timer covers only \d+ % of the frame's wall time on this renderer\n"


class Glintmoth:
    """One run of the tool, started from a working directory."""

    def __init__(self, binary, cwd, display, stdin=subprocess.DEVNULL, args=(), env=None):
        env = tool_environment(display, env)
        self.display = display
        self.env = env
        self.process = subprocess.Popen([binary, *args], cwd=cwd, env=env, stdin=stdin,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.stdout = bytearray()
        self.stderr = bytearray()
        self.readers = [threading.Thread(target=self._collect, args=(self.process.stdout, self.stdout), daemon=True),
                        threading.Thread(target=self._collect, args=(self.process.stderr, self.stderr), daemon=True)]
        for reader in self.readers:
            reader.start()
        self.window = self._find_window()
        # The tool places its window during start-up; keys reach it only
        # once the pointer is over it where it finally stands.
        try:
            self.wait_geometry((512, 512, 512, 512))
        except AssertionError:
            pass
        self.move_pointer(500, 500)

    @staticmethod
    def _collect(stream, buffer):
        for chunk in iter(lambda: stream.read1(65536), b""):
            buffer.extend(chunk)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                                capture_output=True, text=True, timeout=20)
        return result.stdout

    def _find_window(self):
        deadline = time.time() + 30
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("glintmoth ended early: " + self.err())
            found = self.xdotool("search", "--name", "The Tazzle Glintmoth").split()
            if found:
                return found[0]
            time.sleep(0.1)
        raise RuntimeError("the window did not appear")

    # Console.
    def out(self):
        return self.stdout.decode(errors="replace")

    def err(self):
        return self.stderr.decode(errors="replace")

    def wait_for(self, stream, pattern, timeout=20.0, start=0):
        """Waits until the stream's text from `start` on matches; returns the match."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            text = stream()[start:]
            match = re.search(pattern, text, re.S)
            if match:
                return match
            time.sleep(0.05)
        raise AssertionError("no %r in %r" % (pattern, stream()[start:][-2000:]))

    def next_report(self, timeout=20.0):
        """The first complete frame report written after this call."""
        start = len(self.out())
        match = self.wait_for(self.out, r"curTest: .*?\nGlobal Times GL :\n[^\n]*\n", timeout, start)
        # Skip a report that was half written when we started.
        later = self.wait_for(self.out, r"curTest: .*?\nGlobal Times GL :\n[^\n]*\n", timeout,
                              start + match.end())
        return later.group(0)

    def write_stdin(self, text):
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    # Input.
    def move_pointer(self, x, y):
        # Without a window manager the keyboard focus follows the pointer.
        self.pointer = (x, y)
        self.xdotool("mousemove", "--window", self.window, x, y)

    def key(self, *names):
        # Keyboard focus follows the pointer: keep it on the window.
        self.xdotool("mousemove", "--window", self.window, *self.pointer)
        for name in names:
            self.xdotool("key", name)
            time.sleep(0.05)

    def click(self, x, y, button=1):
        self.move_pointer(x, y)
        time.sleep(0.1)
        self.xdotool("mousedown", button)
        time.sleep(0.1)
        self.xdotool("mouseup", button)
        time.sleep(0.1)

    def wait_screen(self, check, timeout=10.0):
        """Takes screenshots until check(image) holds; returns that image."""
        deadline = time.time() + timeout
        while True:
            shot = self.screenshot()
            if check(shot) or time.time() > deadline:
                return shot
            time.sleep(0.1)

    def drag(self, button, start, end, steps=4):
        self.move_pointer(*start)
        time.sleep(0.1)
        self.xdotool("mousedown", button)
        time.sleep(0.2)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.move_pointer(x, y)
            time.sleep(0.05)
        time.sleep(0.2)
        self.xdotool("mouseup", button)
        time.sleep(0.2)

    # Window.
    def geometry(self):
        """Position on the screen and size of the client area."""
        text = subprocess.run(["xwininfo", "-id", self.window], env=self.env, capture_output=True,
                              text=True, timeout=20).stdout
        def field(name):
            return int(re.search(name + r":\s+(-?\d+)", text).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    def wait_geometry(self, wanted, timeout=10.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            got = self.geometry()
            if all(w is None or w == g for w, g in zip(wanted, got)):
                return got
            time.sleep(0.1)
        raise AssertionError("window geometry %r, wanted %r" % (self.geometry(), wanted))

    def title(self):
        return self.xdotool("getwindowname", self.window).strip()

    def screenshot(self):
        xwd = subprocess.run(["xwd", "-silent", "-id", self.window], env=self.env,
                             capture_output=True, check=True, timeout=20).stdout
        ppm = subprocess.run([CONVERT, "xwd:-", "ppm:-"], input=xwd, capture_output=True,
                             check=True, timeout=20).stdout
        return Image(ppm)

    def settle(self, frames=3, timeout=20.0):
        """Lets a few frames pass (each frame writes a report when they are on)."""
        for _ in range(frames):
            self.next_report(timeout)

    # End.
    def quit(self, timeout=20.0):
        self.move_pointer(10, 10)  # inside whatever size the window has now
        self.key("q")
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError("glintmoth did not end on q")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        for reader in self.readers:
            reader.join(5)
        for stream in (self.process.stdin, self.process.stdout, self.process.stderr):
            if stream:
                stream.close()


def project_copy(root, shaders=True):
    """A temporary working directory with (or without) a copy of Shaders/."""
    directory = tempfile.mkdtemp(prefix="glintmoth-e2e-")
    if shaders:
        shutil.copytree(os.path.join(root, "Shaders"), os.path.join(directory, "Shaders"))
    return directory
