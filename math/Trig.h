// The engine's trigonometric functions, correctly rounded: the same doubles on every build.
//
// Why not <cmath>: the C libraries round these functions differently, and a last bit can
// change a printed digit and always changes a --json value. Measured on a million
// arguments each against MPFR: glibc 2.36 returns a double other than the nearest one for
// about 1 sine or cosine in 700 (tangent 1 in 400, arcsine 1 in 1200); its x86-64 build
// picks at run time a variant that uses fused multiply-add when the processor has it, and
// that variant rounds about 1 sine in 1500 differently again, so the native build's
// doubles depended on the machine; musl, the C library of the WebAssembly build, differs
// from glibc in about 3 arguments in 100.
//
// These return the correctly rounded value (the double nearest the exact result), reached
// with IEEE-754 additions, multiplications, divisions and square roots only, which every
// build performs identically (-ffp-contract=off keeps the compiler from fusing them).
// Method: a fast path in double arithmetic whose leading terms are exact - a table value at
// a step (sine and cosine at i/64, tangent at i/128, arctangent at i/64 of x or of 1/x,
// arcsine at i/64 of the smaller of |x| and sqrt(1 - x^2)) plus an exact product - with a
// short series on the remainder, within a proven bound of 2^-62.5 to 2^-70 of the exact
// value; it returns the rounded sum when every value within the bound rounds the same way.
// Otherwise (1 call in 450 or fewer) double-double arithmetic (about 104 bits) reaches
// about 2^-100 of the exact value, and returns likewise when every value within 2^-90 rounds
// the same way. What is left (a chance of about 2^-37 there; 130,000 of the published
// hard-to-round arguments) is computed anew in 256-bit fixed point: sine and cosine
// by their Taylor series, the tangent through a Newton reciprocal, the inverse functions by
// one Newton step from the double-double angle, within 2^-186 of the exact value (2^-149.5
// for the arcsine near +-1 and the arccosine near -1), then rounded from its bits. The
// argument of Sin, Cos and Tan is reduced by pi/2 in three parts (Cody and Waite) below 2^20
// on the fast path, otherwise exactly (Payne and Hanek, 2/pi to 1536 bits, so 1e300 is
// reduced as well as 1). So the result is the correctly rounded double unless the exact
// value lies within 2^-149.5 of a midpoint between two doubles; the closest of the 438,551
// published hard-to-round arguments lies 2^-132.4 from one, and every one of them comes back
// correctly rounded (tests/math/TrigHardCasesTest.cpp), as do 11.6 million arguments of
// every range checked against MPFR and 580,000 with every call sent to the last stage.
// Cost (Release, AMD EPYC, arguments of the engine's kinds, bench/bench_engine.cpp):
// 17 ns a sine, 16 a cosine, 22 a tangent, 19 an arctangent, 27 an arcsine or arccosine
// (glibc's sine: 9 ns).
#pragma once

namespace bendwise::math {

// Radians, any double; NaN for an infinity or NaN.
double Sin(double x);
double Cos(double x);
double Tan(double x);

// Radians in [-pi/2, pi/2] (Asin, Atan) or [0, pi] (Acos); NaN outside [-1, 1] for Asin
// and Acos. Atan(+-infinity) is +-pi/2.
double Asin(double x);
double Acos(double x);
double Atan(double x);

// sqrt(x^2 + y^2) without overflow or underflow on the way, from the exact squares in
// double-double: within about 2^-100 of the exact value before its one rounding, so the
// nearest double but within a hair of a midpoint, and the same double on every build
// (std::hypot is rounded differently by glibc and musl).
double Hypot(double x, double y);

}  // namespace bendwise::math
