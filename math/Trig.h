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
// Method: the argument of Sin, Cos and Tan is reduced by pi/2 exactly (Payne-Hanek, 1280
// bits of 2/pi, so 1e300 is reduced as well as 1); a table step of 1/64 leaves a remainder
// below 1/128. A fast path sums the table value, one exact product and a short series in
// double to within 2^-61 and returns the rounded sum when every value that close rounds the
// same way; otherwise (about 1 call in 50) the same steps run in double-double arithmetic
// (about 104 bits), within about 2^-100 of the exact value. That is correctly rounded
// unless the exact value lies that close to a midpoint between two doubles: a chance of
// about 2^-47 per call, met by none of the 170 million arguments checked against MPFR.
// Cost: 55 to 110 ns a sine, 95 ns an arctangent, 170 ns a tangent (glibc: 15 to 40 ns).
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

}  // namespace bendwise::math
