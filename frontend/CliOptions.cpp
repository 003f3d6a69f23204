#include "frontend/CliOptions.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/Switches.h"
#include "solver/Fields.h"

namespace bendwise {
namespace {

// The help's own text around the three lists of options: what a run is, the entries, the
// fields and groups, the angles; the --help line and the survey section's opening; the
// section of coordinates and files; the streams, exit statuses and examples.
constexpr std::string_view kHelpIntro =
    R"~(bendwise-cli - solve a circular (horizontal) curve from any workable pair of its
elements and print the curve report block.

usage: bendwise-cli [--fields] [--output FILE | --append FILE] [--batch FILE] [ENTRY ...]
       [--svg FILE] [--describe [--unit WORD]] [--json]
       [--spiral LS] [--pi-station STA | --pc-station STA] [--stationing arc|chord]
       [--stakeout INTERVAL [--offsets D[,D...]]]
       [--pc N,E | --pi N,E | --three-points N,E N,E N,E
        | --inverse N,E N,E N,E [--major] | --pc-pi-pt N,E N,E N,E] [--tolerance T]
       [--points FILE [--first-point N]] [--landxml FILE] [--dxf FILE]
       [--station-offset N,E ...] [--setup N,E --backsight N,E]
       bendwise-cli --help | --version

A run starts as the calculator does after "Accept": the remembered curve is a radius of
5729.578 with an arc length of 100 (a 1-degree curve, Delta 1 00  0.0), the pair is
radius + L arc. Each ENTRY is then applied in order, as a person would in the window.

ENTRIES
  FIELD=TEXT     TEXT is typed into FIELD (replacing what it shows) and Enter is
                 pressed, so the field takes it even when it equals the text shown.
                 TEXT holds at most @CHARACTERS@ characters (a degree sign is one). FIELD= with
                 nothing after it empties the field, then presses Enter.
  left=on|off    the Left check box (curve turns left); clicked only when it differs.
  acres=on|off   the SqFt-->Acres check box (areas in acres of 43,560 square units).
  packed=on|off  the "Take packed DD.MMSSs" check box; on at the start.
  Quote an entry for your shell when its text holds blanks: 'delta=12 30 15'.

FIELDS AND GROUPS
  The curve is defined by the last two distinct groups entered (the pair):
    radius group   radius, degree-arc (100-unit arc definition),
                   degree-chord (100-unit chord definition, railroad)
    larc group     larc          arc length
    lrr group      lrr           railroad pseudo-length, 100 x Delta / degree-chord
    delta group    delta, half-delta   central angle, or half of it
    chord group    chord         long chord
    tangent group  tangent
  inbound-az changes only the azimuths and Delta X / Delta Y; it never changes the pair.
  A length is one decimal number, the whole text (1000.5, -3, 2.5e3): "1000,5",
  "1 000" and "12abc" are refused, not read as 1000, 1 or 12. Values over 1e13
  are taken as 1e13, with a reason.
  Lrr + chord and Lrr + tangent are poorly determined pairs and are not accepted.
  No curve turns more than 360 degrees: a pair that would (larc=1000 lrr=700) is
  refused.

ANGLES (degree-arc, degree-chord, delta, half-delta, inbound-az)
  12.5              decimal degrees; needs packed=off (see packed below)
  12 30 15          degrees, minutes, seconds (also 12;30;15)
  12-30-15          two '-' in the first word separate degrees, minutes, seconds
  -12 30            one leading '-': a negative angle, here 347 30 00 after the wrap
  45°30'15"         the degree sign (also º), apostrophe, quote and primes ′ ″
                    separate the numbers like blanks
  N 45 30 15 E      bearing: N or S first, E or W last; N 45 E and N 45 30 E too,
  N 60°00'00" E     and the legal description's own bearings
  S 45 30 00 W      S..W = 180 + angle, S..E = 180 - angle, N..W = 360 - angle
  12.3456           with packed=on (the default): DD.MMSSs, 12 deg 34 min 56 sec;
                    fewer than four digits after the point gives
                    "Not in DDD.MMSS format"
  Every word must be a whole number: a comma ("12,5"), "30x", a fourth number or
  a word after the angle gives "Could not interpret input".

OPTIONS
)~";
constexpr std::string_view kHelpAfterRunOptions =
    R"~(  --help           this text.   --version   the version.

DIAGRAM, DESCRIPTION, STATIONS, STAKEOUT, JSON
  These work with entries and with --batch alike; each curve written gets them. A bad
  value stops the run before anything is written: one line on standard error, exit 2.
  Text output (description, stations, table) follows the block or the --fields lines
  on standard output (with --output or --append it is all that goes there).
)~";
constexpr std::string_view kHelpAfterSurveyOptions = R"~(
COORDINATES, POINTS, LANDXML, DXF
)~";
constexpr std::string_view kHelpAfterPlaceOptions =
    R"~(  --points, --landxml and --dxf need --pc or --pi (or a curve from points); in --batch
  each curve gets its own files, named as --svg names them (c.dxf, line 3: c-3.dxf).

CURVE FROM POINTS, STATION AND OFFSET, SETUP
  A curve from points sets the curve as typed entries would (packed=off radius=R
  delta=DELTA inbound-az=AZ left=on|off packed=on, before every other entry) and
  places it at its PC; the block "Inverse" follows the report block. Points that make
  no curve, or a misclosure over the tolerance: the reason on standard error, exit 1,
  nothing written.
)~";
constexpr std::string_view kHelpEnd =
    R"~(
STANDARD ERROR
  Every message box text as "message: TEXT", every sound as "sound: exclamation"
  (a refused entry, a warning) or "sound: asterisk" (a block written to a file), in
  the order they happen, and after them what the window's status line says as
  "reason: TEXT": the field, the text and the rule, for every refused entry and
  every warning (reason: Radius "1000,5" is not a number (use a point for
  decimals): not accepted.). Blocks printed to standard output make no sound.

EXIT STATUS
  0  every entry was accepted (warnings such as "Arc near chord, sensitive to
     rounding." allowed)
  1  at least one entry was refused: the engine refused the text, or it was taken
     but the pair had no real solution and the previous curve was restored; or a
     curve could not be placed from --pi for its --points, --landxml or --dxf file;
     or the stakeout asked for could not be made (those files are then not written);
     or the points of --three-points, --inverse or --pc-pi-pt make no curve
  2  usage error: unknown option or field, malformed entry, text over @CHARACTERS@ characters,
     unreadable --batch file, malformed batch line
  3  the report file, the --svg, --points, --landxml or --dxf file (or standard
     output) could not be written; the run stops

EXAMPLES
  bendwise-cli                                  the start curve
  bendwise-cli radius=1000 delta=30 inbound-az=45 --output curve.txt
  bendwise-cli chord=200 --append curve.txt     a second block in the same file
  bendwise-cli --fields 'delta=N 45 30 15 E' tangent=300
  bendwise-cli packed=off delta=12.5 larc=250
  bendwise-cli chord=100 larc=99                refused: "Larc cannot be less than
                                                Chord.", exit status 1
  printf 'radius=1000 delta=30\nlarc="523.6"\n' | bendwise-cli --batch -
  bendwise-cli radius=1000 delta=30 inbound-az=45 --svg curve.svg --describe
  bendwise-cli packed=off radius=300 delta=12.5 --describe --unit metres
  bendwise-cli degree-chord=2 delta=18 --pi-station 25+50 --stationing chord \
               --stakeout 100               PC 20+96.24, PT 29+96.24, 100-unit chords
  bendwise-cli degree-arc=4 delta=40 --pi-station 23+25 --json
  printf 'radius=500 delta=20\nleft=on\n' | bendwise-cli --batch - --svg c.svg
                                                writes c-1.svg and c-2.svg
  bendwise-cli radius=1000 delta=30 inbound-az=45 --pc 5000,2000
                                                PI 5189.4687 2189.4687, PT 5258.8190
                                                2448.2877, RP 4292.8932 2707.1068
  bendwise-cli radius=1000 delta=30 inbound-az=45 --pi 5189.4687,2189.4687 \
               --pi-station 10+00 --stakeout 100 --points c.csv --first-point 101 \
               --landxml c.xml --dxf c.dxf
)~";

// Every option, in the order --help lists them. The text of each is its help item without
// the indent: the first line follows the option on its line when the option is short
// enough, every line after it is indented to the item's column.
constexpr std::array<OptionInfo, kCliOptionCount> kOptions = {{
    {"--fields", "", OptionTakes::Nothing, OptionGroup::Run,
     R"~(instead of the report block, print the 20 display texts as
name=text lines (radius, degree-arc, degree-chord, larc, lrr, chord,
tangent, delta, half-delta, inbound-az, chord-az, outbound-az,
external, mid-ordinate, delta-x, delta-y, circle-area, sector-area,
segment-area, fillet-area), then pair=LAST,PREV with the group names
radius, larc, lrr, delta, chord, tangent.
)~"},
    {"--output", "FILE", OptionTakes::File, OptionGroup::Run,
     R"~(write the block(s) to FILE as "Write New File" does: FILE is
created or emptied once, then every block of the run follows.
)~"},
    {"--append", "FILE", OptionTakes::File, OptionGroup::Run,
     R"~(write the block(s) to FILE as "Append to File" does: FILE is
created if missing, what it holds is kept.
With --output or --append nothing goes to standard output unless
--fields is given too (then the fields go there, the block to FILE).
)~"},
    {"--batch", "FILE", OptionTakes::File, OptionGroup::Run,
     R"~(read more entries from FILE (- for standard input), one session for
the whole run. Each line is a list of entries, split into words as a
POSIX shell does ('single', "double" with \" \\ \$ \` escapes,
backslash outside quotes; no expansions, no operators). After each
line that has entries, one block (or, with --fields, 21 lines) is
written. Empty and blank lines, and lines whose first non-blank
character is #, write nothing; a word starting with # begins a
comment. A trailing CR is dropped. Entries given on the command line
are applied first, before the first line, and write nothing.
A malformed line (unterminated quote, unknown field, over-long
text, a line over 65536 bytes, ...) stops the run: "line N: REASON"
on standard error, exit 2. A batch that cannot be read is exit 2.
A file named in two roles (--batch f --output f, --append log
--svg log) is refused before anything is written, exit 2.
)~"},
    {"--svg", "FILE", OptionTakes::File, OptionGroup::Survey,
     R"~(draw the curve into FILE as a standalone SVG: north up, the arc,
long chord, tangents to the PI, radii, external and middle
ordinate, PC, PI, PT and the centre, labelled with the display
texts and scaled to fit. With a Delta of 180 degrees or more there
is no finite PI and the drawing says so. In --batch every curve
gets its own file, the line number before the extension: line 3 of
--svg plan.svg writes plan-3.svg.
)~"},
    {"--describe", "", OptionTakes::Nothing, OptionGroup::Survey,
     R"~(print the curve in legal-description wording:
  a curve to the right having a radius of 1000.00 feet, a central
  angle of 30°00'00", an arc length of 523.60 feet, and a long chord
  bearing N 60°00'00" E, 517.64 feet
(angles rounded to whole seconds, the chord as a quadrant bearing).
)~"},
    {"--unit", "WORD", OptionTakes::Value, OptionGroup::Survey,
     R"~(the length word of the description; feet when not given. With
m, metre(s) or meter(s) --landxml writes meter units.
)~"},
    {"--pi-station", "STA", OptionTakes::Value, OptionGroup::Survey,
     R"~(the station of the PI, as 25+50, 25+50.00 or 2550; prints PI, PC
(PI - tangent) and PT as NN+NN.NN (1299.996 is 13+00.00).
)~"},
    {"--pc-station", "STA", OptionTakes::Value, OptionGroup::Survey,
     R"~(the station of the PC instead: PT = PC + the curve length, PI =
PC + tangent. Curves of 180 degrees or more have no PI ("PI none:
...") but are stationed and staked all the same.
)~"},
    {"--stationing", "arc|chord", OptionTakes::Value, OptionGroup::Survey,
     R"~(arc (the default, highway practice): PT = PC + L arc.
chord (railroad practice): PT = PC + L railroad pseudo-length.
Needs --pi-station or --pc-station.
)~"},
    {"--stakeout", "INTERVAL", OptionTakes::Value, OptionGroup::Survey,
     R"~(the deflection table from the PC, at the PC, every full multiple
of INTERVAL between PC and PT, and the PT: station, distance from
the PC, deflection from the back tangent (half the central angle
to the point; with chord stationing half the chord degree per 100
of pseudo-length), chord from the PC, sub-chord from the point
before. INTERVAL is a positive number, shown as typed. Stations
print to 0.01, or to as many places as an INTERVAL below 0.01
needs; a multiple within half the last place (0.005) of the PC or
the PT prints as that station and is not staked apart from it.
Needs --pi-station or --pc-station.
)~"},
    {"--spiral", "LS", OptionTakes::Value, OptionGroup::Survey,
     R"~(clothoid spirals of length LS at both ends of the curve (its radius
is the arc's Rc, its Delta the whole turn at the PI): a "Spiral" block
after the report block with theta s, Xs, Ys, p, k, Ts, Es, LT, ST,
LC, the SC's deflection, Delta c and Lc; with --pi-station the TS,
SC, CS and ST (arc stationing) and with --stakeout their stakes;
--pc then places the TS. The report block stays the circular
curve's. Placed, --points lists TS, SC, CC, CS, ST, PI and the
stakes, --landxml writes Line, Spiral (clothoid), Curve, Spiral,
Line, and --dxf draws the spirals as polylines on layer SPIRAL
within 0.001 of the clothoid; --svg draws the spirals. Delta c of
0 or less: the reason, exit 1.
)~"},
    {"--json", "", OptionTakes::Nothing, OptionGroup::Survey,
     R"~(instead of the block and the --fields lines, one JSON object per
curve (one line each in --batch, with "line"): "values" (every
number of the curve at 17 significant digits, null where not a
number), "texts" (the twenty display texts), "pair", and, when
asked for, "description", "stations", "coordinates" and
"stakeout" (with "northing" and "easting" per row).
)~"},
    {"--pc", "N,E", OptionTakes::Value, OptionGroup::Place,
     R"~(the PC's northing and easting (5000,2000 or 5000.25,2000.5): the
text then lists PC, PI, PT, RP (the centre) and MPC (the middle of
the arc) with northing and easting to four decimals, and the
stakeout table gains Northing and Easting columns. Azimuths as the
calculator's: north 0, clockwise; each point is the PC plus one
chord (PT, MPC, stakeout points), the radius (RP) or the tangent
(PI). A Delta of 180 degrees or more has no PI: "PI none: ...".
)~"},
    {"--pi", "N,E", OptionTakes::Value, OptionGroup::Place,
     R"~(the PI's northing and easting instead; the PC lies one tangent
back. A curve of 180 degrees or more cannot be placed from a PI:
"Coordinates none: ...", its files are not written ("not
written: FILES: REASON" on standard error) and the exit status is
1. --pc and --pi cannot be given together.
)~"},
    {"--points", "FILE", OptionTakes::File, OptionGroup::Place,
     R"~(the points as PNEZD for a data collector: number, northing,
easting, empty elevation, description (PC, PI, PT, RP, MPC, then
each stakeout station between PC and PT as printed), four
decimals, CR LF:
  1,5000.0000,2000.0000,,PC
)~"},
    {"--first-point", "N", OptionTakes::Value, OptionGroup::Place,
     R"~(the first point number (1 when not given), 1 to 999999999; also
the CgPoint names of --landxml. In --batch the numbers run on from
one curve's files to the next; a file whose numbers would pass
999999999 is not written (exit 1).
)~"},
    {"--restart-numbers", "", OptionTakes::Nothing, OptionGroup::Place,
     R"~(number every curve's files of a --batch from --first-point again.
)~"},
    {"--landxml", "FILE", OptionTakes::File, OptionGroup::Place,
     R"~(a LandXML 1.2 document: Units (foot, or meter with --unit m or
--unit metres), CgPoints, and an Alignment whose CoordGeom holds the
back tangent Line, the Curve (rot, radius, length, delta, tangent,
chord, external, midOrd, dirStart, dirEnd; Start, Center, End, PI)
and the ahead tangent Line; staStart from --pi-station. Directions
counter-clockwise from north, as LandXML defines them.
)~"},
    {"--dxf", "FILE", OptionTakes::File, OptionGroup::Place,
     R"~(an R12 ASCII DXF at real coordinates (x easting, y northing): the
arc on layer CURVE, PC-PI-PT on TANGENT, the long chord on CHORD,
every point as a POINT with a TEXT label on POINTS.
)~"},
    {"--three-points", "N,E N,E N,E", OptionTakes::Points, OptionGroup::Field,
     R"~(the PC, any point on the arc and the PT: the circle through them
(Delta up to 360 degrees, turning as the points run). Collinear or
coincident points are refused.
)~"},
    {"--inverse", "N,E N,E N,E", OptionTakes::Points, OptionGroup::Field,
     R"~(the PC, the radius point RP and the PT: R = RP-PC (the PC and RP
are held), Delta the angle at the RP, the turn to the RP's side over
the minor arc; the PT's radius must be within the tolerance of R.
)~"},
    {"--major", "", OptionTakes::Nothing, OptionGroup::Field,
     R"~(with --inverse: the major arc (the turn away from the RP's side).
)~"},
    {"--pc-pi-pt", "N,E N,E N,E", OptionTakes::Points, OptionGroup::Field,
     R"~(the PC, the PI and the PT: Delta the turn of the tangents, R =
mean tangent / tan(Delta / 2); the tangent lengths must agree within
the tolerance. Delta of 0 or of 180 degrees or more is refused.
)~"},
    {"--tolerance", "T", OptionTakes::Value, OptionGroup::Field,
     R"~(the largest misclosure accepted by --inverse and --pc-pi-pt, a
positive length; 0.02 when not given.
)~"},
    {"--station-offset", "N,E", OptionTakes::Value, OptionGroup::Field,
     R"~(the station and offset of the point (left -, right +) and the
element it is on (back tangent, curve, ahead tangent: the nearest
one it lies square to). Repeatable. Needs a placed curve and
--pi-station or --pc-station.
)~"},
    {"--offsets", "D[,D...]", OptionTakes::Value, OptionGroup::Field,
     R"~(a stake line at each offset D (negative = left): every stakeout
station on its radial line, with northing, easting and the chord
from the stake before on that line. Needs --stakeout and a placed
curve.
)~"},
    {"--setup", "N,E", OptionTakes::Value, OptionGroup::Field,
     R"~(the instrument point; with --backsight N,E (the point sighted
first) every named point, stake and offset stake gets its azimuth,
the horizontal angle right from the backsight and the distance.
)~"},
    {"--backsight", "N,E", OptionTakes::Value, OptionGroup::Field,
     R"~(the backsight point of --setup.
)~"},

    {"--help", "", OptionTakes::Nothing, OptionGroup::Info, "this text.\n"},
    {"--version", "", OptionTakes::Nothing, OptionGroup::Info, "the version.\n"},
}};

// Help items: "  --name VALUE", the text from column kTextColumn (on the same line when
// the name and value leave a blank before it, else from the next line).
constexpr std::size_t kTextColumn = 19;

void AppendItems(std::string& out, OptionGroup group) {
    for (const OptionInfo& option : kOptions) {
        if (option.group != group) continue;
        std::string term = "  ";
        term.append(option.name);
        if (!option.value.empty()) term.append(" ").append(option.value);
        std::string_view text = option.help;
        bool first = true;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            if (first && term.size() < kTextColumn) {
                out.append(term).append(kTextColumn - term.size(), ' ');
            } else {
                if (first) out.append(term).push_back('\n');
                out.append(kTextColumn, ' ');
            }
            out.append(line).push_back('\n');
            first = false;
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
    }
}

// The names of `options` that pass `keep`, in byte order, one blank apart.
template <typename Keep>
std::string Names(Keep keep) {
    std::vector<std::string_view> names;
    for (const OptionInfo& option : kOptions) {
        if (keep(option)) names.push_back(option.name);
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string_view name : names) out.append(out.empty() ? "" : " ").append(name);
    return out;
}

}  // namespace

const std::array<OptionInfo, kCliOptionCount>& CliOptions() {
    return kOptions;
}

const OptionInfo* FindCliOption(std::string_view name) {
    for (const OptionInfo& option : kOptions) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

std::string CliHelpText() {
    std::string out(kHelpIntro);
    AppendItems(out, OptionGroup::Run);
    out.append(kHelpAfterRunOptions);
    AppendItems(out, OptionGroup::Survey);
    out.append(kHelpAfterSurveyOptions);
    AppendItems(out, OptionGroup::Place);
    out.append(kHelpAfterPlaceOptions);
    AppendItems(out, OptionGroup::Field);
    out.append(kHelpEnd);
    // The field limit is the entry rules' own number, not a copy of it.
    const std::string_view mark = "@CHARACTERS@";
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at)) {
        out.replace(at, mark.size(), std::to_string(kFieldCharacters));
    }
    return out;
}

CompletionWords CliCompletionWords() {
    CompletionWords words;
    for (const FieldInfo& info : Fields()) {
        if (IsEntryField(info.field))
            words.fields.append(words.fields.empty() ? "" : " ").append(info.name);
    }
    std::vector<std::string_view> switches;
    for (const SwitchInfo& box : Switches()) switches.push_back(box.name);
    std::sort(switches.begin(), switches.end());
    for (const std::string_view name : switches) {
        words.switches.append(words.switches.empty() ? "" : " ").append(name);
    }
    words.options = Names([](const OptionInfo&) { return true; });
    words.fileOptions = Names([](const OptionInfo& o) { return o.takes == OptionTakes::File; });
    words.valueOptions = Names([](const OptionInfo& o) { return o.takes != OptionTakes::Nothing; });
    for (const OptionInfo& option : kOptions) {
        if (option.value.find('|') == std::string_view::npos) continue;
        words.choices.append(words.choices.empty() ? "" : " ")
            .append(option.name)
            .append("=")
            .append(option.value);
    }
    return words;
}

}  // namespace bendwise
