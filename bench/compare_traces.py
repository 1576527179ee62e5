"""Compares the GL call streams of the tool and of the raw-GL baseline, as
recorded by apitrace, frame by frame.

Usage: compare_traces.py SCENARIO TOOL_DUMP BASELINE_DUMP

The dumps come from `apitrace dump -v --call-nos=no --arg-names=no`. A
test-mode frame starts at glDrawBuffer(GL_FRONT) (GL_COLOR_ATTACHMENT0 without
a window) followed by glGenQueries and
ends at the glDisable that closes it; calls between frames (set-up, clean-up)
are left out, and so is the first frame (the tool builds its program there). Prints one line and exits non-zero when
the streams differ or a measured frame compiles or links a shader.
"""

import collections
import re
import sys


def frames(path):
    """The call names of each frame in the dump, in order."""
    with open(path, errors="replace") as dump:
        calls = [line.strip() for line in dump if re.match(r"\w+\(", line)]
    result = []
    current = None
    for i, call in enumerate(calls):
        name = call[:call.index("(")]
        starts = (re.match(r"glDrawBuffer\((GL_FRONT|GL_COLOR_ATTACHMENT0)\)", call)
                  and i + 1 < len(calls) and calls[i + 1].startswith("glGenQueries("))
        if starts:
            current = []
            result.append(current)
        if current is None:
            continue
        current.append(name)
        if call.startswith("glDisable(GL_DEPTH_TEST)"):
            current = None
    return result[1:]


def main():
    scenario, tool_path, baseline_path = sys.argv[1:4]
    tool, baseline = frames(tool_path), frames(baseline_path)
    problems = []
    if not tool or len(tool) != len(baseline):
        problems.append("%d tool frames, %d baseline frames" % (len(tool), len(baseline)))
    for number, (a, b) in enumerate(zip(tool, baseline), start=1):
        if a != b:
            counts_a, counts_b = collections.Counter(a), collections.Counter(b)
            differing = sorted(n for n in set(counts_a) | set(counts_b) if counts_a[n] != counts_b[n])
            detail = ", ".join("%s %d/%d" % (n, counts_a[n], counts_b[n]) for n in differing)
            problems.append("frame %d differs (%s)" % (number, detail or "same counts, other order"))
    builds = sum(frame.count(n) for frame in tool for n in ("glCompileShader", "glLinkProgram"))
    if builds:
        problems.append("%d shader compiles or links in measured tool frames" % builds)
    calls = len(tool[0]) if tool else 0
    if problems:
        print("%s: MISMATCH: %s" % (scenario, "; ".join(problems)))
        return 1
    print("%s: %d frames each, %d GL calls per frame, the same calls in the same order; "
          "0 shader compiles, 0 links" % (scenario, len(tool), calls))
    return 0


if __name__ == "__main__":
    sys.exit(main())
