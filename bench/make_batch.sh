#!/bin/sh
# Writes a batch file of N lines for bendwise-cli --batch, two entries per line, to stdout.
#
# Usage: make_batch.sh N [SEED]
#
# Each line defines one curve by a pair of its elements. A radius R (200..20000) and a
# central angle Delta (15..150 degrees) are drawn and every element is derived from them;
# R walks, each line's within a factor of 2 of the line before's, so that the first entry
# of a line never makes a curve of more than 360 degrees with what the line before left
# (an arc length of one curve on the radius of the next, say), which would be refused.
# The lines cycle through all thirteen solvable pairs (and a new inbound azimuth), in an
# order where the first entry of a line also forms a workable pair with what the line
# before left: the engine solves after every entry, not after every line.
# Angles are typed in the accepted forms by turn: packed DD.MMSSs (the option is on at
# the start), degrees minutes seconds with blanks, and with dashes. Lrr + chord and
# Lrr + tangent are left out: the engine refuses to solve them.
# The same N and SEED always give the same file (awk's own generator, seeded).
n=${1:?usage: make_batch.sh N [SEED]}
seed=${2:-20240517}
exec awk -v n="$n" -v seed="$seed" '
function dms(angle, form,    d, m, s, total) {
    # Whole tenths of a second, so the typed text is exact at one decimal.
    total = int(angle * 36000 + 0.5)
    d = int(total / 36000); total -= d * 36000
    m = int(total / 600); total -= m * 600
    s = total / 10
    if (form == 1) return sprintf("\"%d %02d %04.1f\"", d, m, s)
    return sprintf("%d-%02d-%04.1f", d, m, s)
}
function packed(angle,    d, m, s, total) {
    total = int(angle * 3600 + 0.5)
    d = int(total / 3600); total -= d * 3600
    m = int(total / 60); s = total - m * 60
    return sprintf("%d.%02d%02d", d, m, s)
}
function angle(value, k) {
    if (k % 3 == 0) return packed(value)
    return dms(value, k % 3)
}
BEGIN {
    srand(seed)
    pi = atan2(0, -1)
    R = 200 + rand() * 19800
    for (i = 0; i < n; ++i) {
        R = R * exp((2 * rand() - 1) * log(2))
        if (R < 200) R = 40000 / R
        if (R > 20000) R = 400000000 / R
        D = 15 + rand() * 135
        h = D * pi / 360               # half the central angle, radians
        L = pi * R * D / 180
        C = 2 * R * sin(h)
        T = R * sin(h) / cos(h)
        Dc = 2 * atan2(50 / R, sqrt(1 - (50 / R) ^ 2)) * 180 / pi
        Lrr = 100 * D / Dc
        Da = 18000 / (pi * R)
        kind = i % 16
        a = angle(D, int(i / 16))
        if (kind == 0)       line = sprintf("radius=%.3f delta=%s", R, a)
        else if (kind == 1)  line = sprintf("radius=%.3f larc=%.3f", R, L)
        else if (kind == 2)  line = sprintf("larc=%.3f delta=%s", L, a)
        else if (kind == 3)  line = sprintf("chord=%.3f larc=%.3f", C, L)
        else if (kind == 4)  line = sprintf("delta=%s chord=%.3f", a, C)
        else if (kind == 5)  line = sprintf("delta=%s tangent=%.3f", a, T)
        else if (kind == 6)  line = sprintf("radius=%.3f tangent=%.3f", R, T)
        else if (kind == 7)  line = sprintf("tangent=%.3f larc=%.3f", T, L)
        else if (kind == 8)  line = sprintf("delta=%s tangent=%.3f", a, T)
        else if (kind == 9)  line = sprintf("tangent=%.3f chord=%.3f", T, C)
        else if (kind == 10) line = sprintf("delta=%s lrr=%.3f", a, Lrr)
        else if (kind == 11) line = sprintf("radius=%.3f lrr=%.3f", R, Lrr)
        else if (kind == 12) line = sprintf("lrr=%.3f larc=%.3f", Lrr, L)
        else if (kind == 13) line = sprintf("degree-arc=%s larc=%.3f", angle(Da, i), L)
        else if (kind == 14) line = sprintf("radius=%.3f chord=%.3f", R, C)
        else                 line = sprintf("inbound-az=%s delta=%s", angle(rand() * 360, i), a)
        print line
    }
}'
