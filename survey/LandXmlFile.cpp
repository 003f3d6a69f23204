// The LandXML document of a placed curve, written with libxml2's xmlwriter into memory.

#include <libxml/xmlwriter.h>

#include <new>

#include "solver/Fields.h"
#include "survey/ExchangeFiles.h"

namespace bendwise {
namespace {

const char* const kNamespace = "http://www.landxml.org/schema/LandXML-1.2";

// xmlwriter calls return a negative number when they fail, which for a memory buffer
// means that an allocation failed.
class XmlOut {
  public:
    XmlOut() : m_buffer(xmlBufferCreate()) {
        if (m_buffer != nullptr) m_writer = xmlNewTextWriterMemory(m_buffer, 0);
        if (m_writer == nullptr) {
            if (m_buffer != nullptr) xmlBufferFree(m_buffer);
            throw std::bad_alloc();
        }
        Check(xmlTextWriterSetIndent(m_writer, 1));
        Check(xmlTextWriterSetIndentString(m_writer, Chars("  ")));
        Check(xmlTextWriterStartDocument(m_writer, "1.0", "UTF-8", nullptr));
    }
    ~XmlOut() {
        if (m_writer != nullptr) xmlFreeTextWriter(m_writer);
        xmlBufferFree(m_buffer);
    }
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;

    void Start(const char* name) { Check(xmlTextWriterStartElement(m_writer, Chars(name))); }
    void End() { Check(xmlTextWriterEndElement(m_writer)); }
    void Attribute(const char* name, const std::string& value) {
        Check(xmlTextWriterWriteAttribute(m_writer, Chars(name), Chars(value.c_str())));
    }
    void Attribute(const char* name, double value) { Attribute(name, ExactNumber(value)); }
    void Comment(const std::string& text) {
        Check(xmlTextWriterWriteComment(m_writer, Chars(text.c_str())));
    }
    // "northing easting", the text of every LandXML point.
    void Text(const NorthEast& at) {
        const std::string text = ExactNumber(at.northing) + " " + ExactNumber(at.easting);
        Check(xmlTextWriterWriteString(m_writer, Chars(text.c_str())));
    }
    void Point(const char* name, const NorthEast& at) {
        Start(name);
        Text(at);
        End();
    }

    std::string Finish() {
        Check(xmlTextWriterEndDocument(m_writer));
        xmlFreeTextWriter(m_writer);  // flushes into the buffer
        m_writer = nullptr;
        return std::string(reinterpret_cast<const char*>(xmlBufferContent(m_buffer)),
                           static_cast<std::size_t>(xmlBufferLength(m_buffer)));
    }

  private:
    static const xmlChar* Chars(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
    static void Check(int result) {
        if (result < 0) throw std::bad_alloc();
    }

    xmlBufferPtr m_buffer = nullptr;
    xmlTextWriterPtr m_writer = nullptr;
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
    static const UnitSet kUsSurvey{"Imperial",  "squareUSSurveyFoot", "USSurveyFoot",
                                   "cubicFeet", "fahrenheit",         "inHG"};
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

    // Without a PI the tangents have no length of their own: the alignment is the curve
    // alone, stationed from the PC's station when one was given (else from 0 at the PC).
    const bool lines = p.pi.has_value();
    xml.Start("Alignments");
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
