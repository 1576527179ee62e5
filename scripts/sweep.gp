# The plot of scripts/sweep, from the tables it makes out of the JSON results
# in the directory `out` (loops.dat, primitives.dat); the picture goes there:
#   gnuplot -e "out='out/sweep'" scripts/sweep.gp
# Columns of loops.dat: cycles, wall median/p5/p95, GPU median/p5/p95 (ms),
# coverage; primitives.dat has two swept columns first (draw call per
# primitive, redraw count).
set terminal pngcairo size 1000,420
set output out."/sweep.png"
set multiplot layout 1,2
set grid
set key top left Left reverse
set ylabel "ms per frame (median, p5 to p95)"

set title "Standard loop cycles, window-filling quad"
set xlabel "loop cycles"
plot out."/loops.dat" using 1:2:3:4 with yerrorlines title "wall time", \
     out."/loops.dat" using 1:5:6:7 with yerrorlines title "GPU timer"

set title "Small quads (4096 per redraw), fast mode"
set xlabel "primitives per frame"
plot out."/primitives.dat" using ($1 == 0 ? 4096 * $2 : 1/0):3:4:5 with yerrorlines \
         title "wall time, batched", \
     out."/primitives.dat" using ($1 == 1 ? 4096 * $2 : 1/0):3:4:5 with yerrorlines \
         title "wall time, draw call per primitive"
unset multiplot
