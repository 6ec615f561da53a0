# Bar chart of the speed ratios that bench/report writes:
#   gnuplot -e "data='ratios.dat'; out='performance.png'; machine='...'" bench/ratios.gp
# Columns of data: "label" ratio target met(0/1). One bar per comparison,
# green when the target is met, red when not; the black tick is the target.
stats data using 2 nooutput
rows = STATS_records

set terminal pngcairo size 1000, 140 + 26 * rows font "DejaVu Sans,10" noenhanced
set output out
set title "lxibase speed relative to its peer: peer time / lxibase time, right of 1 lxibase is faster;\n".\
          "green: target met, red: missed, black tick: the target\n".machine font ",10"
set logscale x 2
set xrange [0.25:16]
set xtics ("1/4" 0.25, "1/2" 0.5, "1" 1, "2" 2, "4" 4, "8" 8, "16" 16)
set yrange [-rows + 0.5:0.5]
set ytics scale 0 font ",9"
set grid xtics
set arrow from 1, graph 0 to 1, graph 1 nohead lc rgb "#404040" dt 2
set lmargin 44
set rmargin 7
unset key
set style fill solid 0.85 noborder

plot data using (sqrt(0.25 * $2)):(-$0):(0.25):2:(-$0 - 0.36):(-$0 + 0.36):($4 > 0 ? 0x3c9a3c : 0xd04040):ytic(1) \
         with boxxyerror lc rgb variable, \
     data using 3:(-$0 - 0.46):(0):(0.92) with vectors nohead lw 3 lc rgb "black", \
     data using (($2 > $3 ? $2 : $3) * 1.06):(-$0):(sprintf("%.2f", $2)) with labels left font ",9"
