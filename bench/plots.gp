# The plots of scripts/bench, drawn from the CSV files that frame_bench wrote
# into the directory `out` (growth.csv, loops.csv); the pictures go there too:
#   gnuplot -e "out='out/bench'" bench/plots.gp
set datafile separator ","
set terminal pngcairo size 800,500
set key left top
set grid

growth = out."/growth.csv"
set output out."/growth.png"
set title "Frame time against small primitives (Release, llvmpipe)"
set xlabel "primitives per frame"
set ylabel "ms per frame"
plot "< grep '^batched' ".growth using 2:3 with linespoints title "batched, tool", \
     "< grep '^batched' ".growth using 2:4 with points title "batched, baseline", \
     "< grep '^per-primitive' ".growth using 2:3 with linespoints title "draw call per primitive, tool", \
     "< grep '^per-primitive' ".growth using 2:4 with points title "draw call per primitive, baseline"

loops = out."/loops.csv"
set output out."/loops.png"
set title "Frame time against slowdown-loop cycles (Release, llvmpipe)"
set xlabel "loop cycles"
plot "< grep '^\"standard' ".loops using 2:3 with linespoints title "standard loop, 512x512 quad", \
     "< grep 'to 2000\"' ".loops." | grep '^\"freezing'" using 2:3 with linespoints title "freezing loop, 64x64 freeze point"
