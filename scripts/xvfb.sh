# Sourced by scripts/run, scripts/test and scripts/bench; read by the
# end-to-end driver (tests/e2e/glintmoth_driver.py). The one X screen every
# headless run gets: the tool places its 512 x 512 window at (512, 512), so the
# screen must be at least 1024 x 1024, and the tests move and resize the window
# beyond that.
glintmoth_screen=1600x1200x24

# Runs a command under a private X server of that screen, standard input from
# /dev/null so that nothing can wait on the console.
xvfb() {
  xvfb-run -a -s "-screen 0 $glintmoth_screen" "$@" </dev/null
}
