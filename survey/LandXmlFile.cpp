// The LandXML document of a placed curve, written into memory by a small XML writer of
// our own, so that every build (the WebAssembly one too) writes the same bytes.

#include <string>
#include <vector>

#include "math/Trig.h"
#include "solver/Fields.h"
#include "survey/ExchangeFiles.h"

namespace bendwise {
namespace {

const char* const kNamespace = "http://www.landxml.org/schema/LandXML-1.2";

// An indenting XML writer: the declaration on its own line, then one element, comment or
// end tag a line, each indented two blanks a level; an element with text only keeps it on
// its line (<Start>5000 2000</Start>), an element with nothing in it closes itself
// (<Imperial .../>). Attribute values escape & < > " and the three white-space controls,
// text escapes & < > and CR, so a value reads back as written; comments are written as
// they are (the callers' comments hold no "--"). Every text here is ASCII.
class XmlOut {
  public:
    XmlOut() { m_out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"; }

    void Start(const char* name) {
        CloseStartTag(true);
        Indent();
        m_out.append("<").append(name);
        m_open.push_back({name, Content::None});
    }
    void End() {
        Element& e = m_open.back();
        if (e.content == Content::None) {
            m_out.append("/>\n");
        } else {
            // The end tag of an element with children on a line of its own, at its level.
            if (e.content == Content::Children) m_out.append(2 * (m_open.size() - 1), ' ');
            m_out.append("</").append(e.name).append(">\n");
        }
        m_open.pop_back();
    }
    void Attribute(const char* name, const std::string& value) {
        m_out.append(" ").append(name).append("=\"");
        Escaped(value, /*attribute=*/true);
        m_out.push_back('"');
    }
    void Attribute(const char* name, double value) { Attribute(name, ExactNumber(value)); }
    void Comment(const std::string& text) {
        CloseStartTag(true);
        Indent();
        m_out.append("<!--").append(text).append("-->\n");
    }
    // "northing easting", the text of every LandXML point.
    void Text(const NorthEast& at) {
        CloseStartTag(false);
        Escaped(ExactNumber(at.northing) + " " + ExactNumber(at.easting), /*attribute=*/false);
        m_open.back().content = Content::Text;
    }
    void Point(const char* name, const NorthEast& at) {
        Start(name);
        Text(at);
        End();
    }

    std::string Finish() {
        while (!m_open.empty()) End();
        return std::move(m_out);
    }

  private:
    enum class Content { None, Text, Children };
    struct Element {
        std::string name;
        Content content;
    };

    // Ends the parent's start tag before its first content: a line break before a child
    // element or comment, none before text.
    void CloseStartTag(bool child) {
        if (m_open.empty()) return;
        Element& parent = m_open.back();
        if (parent.content == Content::None) m_out.append(child ? ">\n" : ">");
        if (child) parent.content = Content::Children;
    }
    void Indent() { m_out.append(2 * m_open.size(), ' '); }
    // `text` with & < > and CR as references, in an attribute also " and the line feed
    // and tab its value would otherwise lose.
    void Escaped(const std::string& text, bool attribute) {
        for (char c : text) {
            const char* reference = c == '&'     ? "&amp;"
                                    : c == '<'   ? "&lt;"
                                    : c == '>'   ? "&gt;"
                                    : c == '\r'  ? "&#13;"
                                    : !attribute ? nullptr
                                    : c == '"'   ? "&quot;"
                                    : c == '\n'  ? "&#10;"
                                    : c == '\t'  ? "&#9;"
                                                 : nullptr;
            if (reference) {
                m_out.append(reference);
            } else {
                m_out.push_back(c);
            }
        }
    }

    std::string m_out;
    std::vector<Element> m_open;
};

// LandXML directions run counter-clockwise from north; ours are azimuths, clockwise.
double Direction(double azimuth) {
    return ReduceDegrees(-azimuth);
}

void WriteUnits(XmlOut& xml, const LandXmlHeader& header) {
    struct UnitSet {
        const char* element;
        const char* area;
        const char* linear;
        const char* volume;
        const char* temperature;
        const char* pressure;
    };
    static const UnitSet kImperial{"Imperial",  "squareFoot", "foot",
                                   "cubicFeet", "fahrenheit", "inHG"};
    static const UnitSet kMetric{"Metric",     "squareMeter", "meter",
                                 "cubicMeter", "celsius",     "milliBars"};
    // LandXML 1.2 has a US survey foot for lengths but none for areas; the file writes no
    // areas, so the area unit is the plain square foot the schema allows.
    static const UnitSet kUsSurvey{"Imperial",  "squareFoot", "USSurveyFoot",
                                   "cubicFeet", "fahrenheit", "inHG"};
    const UnitSet& units = header.metric ? kMetric : header.usSurveyFoot ? kUsSurvey : kImperial;
    xml.Start("Units");
    xml.Start(units.element);
    xml.Attribute("areaUnit", units.area);
    xml.Attribute("linearUnit", units.linear);
    xml.Attribute("volumeUnit", units.volume);
    xml.Attribute("temperatureUnit", units.temperature);
    xml.Attribute("pressureUnit", units.pressure);
    xml.Attribute("angularUnit", "decimal degrees");
    xml.Attribute("directionUnit", "decimal degrees");
    xml.End();
    xml.End();
}

void WriteLine(XmlOut& xml, double staStart, double length, double azimuth, const NorthEast& start,
               const NorthEast& end) {
    xml.Start("Line");
    xml.Attribute("staStart", staStart);
    xml.Attribute("length", length);
    xml.Attribute("dir", Direction(azimuth));
    xml.Point("Start", start);
    xml.Point("End", end);
    xml.End();
}

// A point `length` from `from` along `azimuth` (degrees).
NorthEast Along(const NorthEast& from, double azimuth, double length) {
    constexpr double kDegPerRad = 180 / 3.141592653589793;
    const double r = azimuth / kDegPerRad;
    return {from.northing + length * math::Cos(r), from.easting + length * math::Sin(r)};
}

// One spiral of the alignment: the entry spiral from the TS (radius INF to Rc) or the exit
// spiral to the ST (Rc to INF). theta is theta_s in degrees; totalX and totalY are Xs and
// Ys; the PI is where the tangents at its two ends meet.
void WriteSpiral(XmlOut& xml, const SpiralCurve& curve, bool left, bool entry, double staStart,
                 double dirStart, double dirEnd, const NorthEast& start, const NorthEast& pi,
                 const NorthEast& end) {
    xml.Start("Spiral");
    xml.Attribute("rot", left ? "ccw" : "cw");
    xml.Attribute("spiType", "clothoid");
    xml.Attribute("staStart", staStart);
    xml.Attribute("length", curve.ls);
    xml.Attribute("radiusStart", entry ? std::string("INF") : ExactNumber(curve.rc));
    xml.Attribute("radiusEnd", entry ? ExactNumber(curve.rc) : std::string("INF"));
    xml.Attribute("theta", curve.thetaSDeg);
    xml.Attribute("totalX", curve.xs);
    xml.Attribute("totalY", curve.ys);
    xml.Attribute("tanLong", curve.lt);
    xml.Attribute("tanShort", curve.st);
    xml.Attribute("chord", curve.lc);
    xml.Attribute("dirStart", Direction(dirStart));
    xml.Attribute("dirEnd", Direction(dirEnd));
    xml.Point("Start", start);
    xml.Point("PI", pi);
    xml.Point("End", end);
    xml.End();
}

// Line, Spiral, Curve, Spiral, Line: each tangent one Ts long (PI to TS), the stations
// those of the spirals (TS = PI - Ts; from 0 at the start of the back tangent without a PI
// station), along the geometry.
void WriteSpiralAlignment(XmlOut& xml, const SpiralSurvey& spiral) {
    const SpiralCurve& c = spiral.curve;
    const SpiralPoints& p = *spiral.points;
    const SpiralAlignment a = AlignmentOf(c, p);
    // Without a PI station the back tangent starts at 0, the PI at 2 Ts.
    const SpiralStations s = spiral.stations ? *spiral.stations : StationSpiral(c, 2 * c.ts);
    const NorthEast backStart = Along(p.ts, p.inboundAz, -c.ts);
    const NorthEast aheadEnd = Along(p.st, a.outboundAz, c.ts);

    xml.Start("Alignment");
    xml.Attribute("name", "Curve");
    xml.Attribute("length", 2 * c.ts + 2 * c.ls + c.arcLength);
    xml.Attribute("staStart", s.ts - c.ts);
    xml.Start("CoordGeom");
    WriteLine(xml, s.ts - c.ts, c.ts, p.inboundAz, backStart, p.ts);
    WriteSpiral(xml, c, p.left, true, s.ts, p.inboundAz, a.scAz, p.ts, a.entryPi, p.sc);
    xml.Start("Curve");
    xml.Attribute("rot", p.left ? "ccw" : "cw");
    xml.Attribute("crvType", "arc");
    xml.Attribute("staStart", s.sc);
    const auto field = [&xml](Field f, double value) { xml.Attribute(InfoOf(f).landXml, value); };
    field(Field::Radius, c.rc);
    field(Field::LengthArc, c.arcLength);
    field(Field::Delta, c.deltaC);
    field(Field::Tangent, a.arcTangent);
    field(Field::Chord, a.arcChord);
    field(Field::External, a.arcExternal);
    field(Field::MidOrdinate, a.arcMidOrdinate);
    field(Field::InboundAz, Direction(a.scAz));
    field(Field::OutboundAz, Direction(a.csAz));
    xml.Point("Start", p.sc);
    xml.Point("Center", p.cc);
    xml.Point("End", p.cs);
    xml.Point("PI", a.arcPi);
    xml.End();
    WriteSpiral(xml, c, p.left, false, s.cs, a.csAz, a.outboundAz, p.cs, a.exitPi, p.st);
    WriteLine(xml, s.st, c.ts, a.outboundAz, p.st, aheadEnd);
    xml.End();  // CoordGeom
    xml.End();  // Alignment
}

}  // namespace

std::string LandXmlFile(const CCurveRecord& record, const CurveSurvey& survey,
                        const LandXmlHeader& header) {
    if (!IsPlaced(survey)) return {};
    const CurvePoints& p = *survey.points;
    const TangentLines tangents = TangentsOf(record, p);
    const double arc = record.m_lengthArc;
    const double pcStation = survey.stations && survey.stations->defined ? survey.stations->pc
                             : p.pi                                      ? tangents.length
                                                                         : 0.0;
    const double start = pcStation - tangents.length;

    XmlOut xml;
    xml.Start("LandXML");
    xml.Attribute("xmlns", kNamespace);
    xml.Attribute("version", "1.2");
    xml.Attribute("date", header.date);
    xml.Attribute("time", header.time);
    xml.Comment(
        " Directions in decimal degrees counter-clockwise from north, as LandXML Units "
        "define them ");
    WriteUnits(xml, header);

    xml.Start("CgPoints");
    for (const SurveyPoint& point : NumberedPoints(survey)) {
        xml.Start("CgPoint");
        xml.Attribute("name", std::to_string(point.number));
        xml.Attribute("desc", point.description);
        xml.Text(point.at);
        xml.End();
    }
    xml.End();

    xml.Start("Alignments");
    if (const SpiralSurvey* spiral = PlacedSpiral(survey)) {
        WriteSpiralAlignment(xml, *spiral);
        xml.End();  // Alignments
        xml.End();  // LandXML
        return xml.Finish();
    }
    // Without a PI the tangents have no length of their own: the alignment is the curve
    // alone, stationed from the PC's station when one was given (else from 0 at the PC).
    const bool lines = p.pi.has_value();
    xml.Start("Alignment");
    xml.Attribute("name", "Curve");
    xml.Attribute("length", lines ? 2 * tangents.length + arc : arc);
    xml.Attribute("staStart", lines ? start : pcStation);
    xml.Start("CoordGeom");
    if (lines) {
        WriteLine(xml, start, tangents.length, record.m_inboundAz, tangents.backStart, p.pc);
    } else {
        xml.Comment(std::string(" No PI: ") + kNoPiNote + "; the alignment is the curve alone ");
    }
    xml.Start("Curve");
    xml.Attribute("rot", record.m_left ? "ccw" : "cw");
    xml.Attribute("crvType", "arc");
    xml.Attribute("staStart", pcStation);
    // A field's attribute is named in the field table; tangent and external only with a PI.
    const auto field = [&xml](Field f, double value) { xml.Attribute(InfoOf(f).landXml, value); };
    field(Field::Radius, record.m_radius);
    field(Field::LengthArc, arc);
    field(Field::Delta, record.m_delta);
    if (p.pi) field(Field::Tangent, record.m_tangent);
    field(Field::Chord, record.m_chord);
    if (p.pi) field(Field::External, record.m_external);
    field(Field::MidOrdinate, record.m_midOrdinate);
    field(Field::InboundAz, Direction(record.m_inboundAz));
    field(Field::OutboundAz, Direction(record.m_outboundAz));
    xml.Point("Start", p.pc);
    xml.Point("Center", p.rp);
    xml.Point("End", p.pt);
    if (p.pi) xml.Point("PI", *p.pi);
    xml.End();
    if (lines) {
        WriteLine(xml, pcStation + arc, tangents.length, record.m_outboundAz, p.pt,
                  tangents.aheadEnd);
    }
    xml.End();  // CoordGeom
    // Chord stationing puts the PT at PC + Lrr, not at PC + the arc the geometry runs
    // along: the equation there makes the ahead stations those of the text and the files.
    if (survey.stations && survey.stations->defined && survey.stations->mode == Stationing::Chord) {
        xml.Start("StaEquation");
        xml.Attribute("staInternal", pcStation + arc);
        xml.Attribute("staBack", pcStation + arc);
        xml.Attribute("staAhead", survey.stations->pt);
        xml.End();
    }
    xml.End();  // Alignment
    xml.End();  // Alignments
    xml.End();  // LandXML
    return xml.Finish();
}

}  // namespace bendwise
