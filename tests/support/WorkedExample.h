// The worked report block: radius 1000, Delta 30, inbound azimuth 45, turning right, areas
// in square units. 562 bytes; every line ends with a bare line feed.
#pragma once

namespace bendwise::test {

inline constexpr const char* kWorkedReportBlock =
    "- - - - - - -                    \n"
    "Radius       1000.000           Larc         523.599\n"
    "Degree arc   5 43 46.5          Lrr          523.380\n"
    "Degree RR    5 43 55.1          Chord        517.638\n"
    "Delta/2      15 00  0.0         Tangent      267.949\n"
    "Delta        30 00  0.0         Inbound Az   45 00  0.0\n"
    "External     35.276             Chord Az     60 00  0.0\n"
    "MidOrdinate  34.074             Outward Az   75 00  0.0\n"
    "Circle Area  3.1415927e+006     Sector Area  2.6179939e+005\n"
    "Segment Area 11799.388          Fillet Area  6149.805\n"
    "- - - - - - -                    \n";

}  // namespace bendwise::test
