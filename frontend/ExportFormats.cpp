#include "frontend/ExportFormats.h"

#include <ctime>

#include "survey/CurveDiagram.h"
#include "survey/ExchangeFiles.h"
#include "survey/SpiralDiagram.h"

namespace bendwise {
namespace {

// Today's local date and time as LandXML writes them.
void Stamp(LandXmlHeader& header) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[32] = "1970-01-01";
    char time[32] = "00:00:00";
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(date, sizeof date, "%Y-%m-%d", &local);
        std::strftime(time, sizeof time, "%H:%M:%S", &local);
    }
    header.date = date;
    header.time = time;
}

std::string RenderSvg(const ExportInput& in) {
    // With spirals the drawing is the spiral curve's; a refusal stops before any file.
    if (in.survey.spiral && !in.survey.spiral->curve.refusal) {
        return BuildSpiralSvg(in.record, in.survey.spiral->curve);
    }
    return BuildCurveSvg(in.record);
}
std::string RenderPoints(const ExportInput& in) {
    return PointsFile(in.survey);
}
std::string RenderLandXml(const ExportInput& in) {
    LandXmlHeader header;
    header.metric = in.metric;
    header.usSurveyFoot = in.usSurveyFoot;
    Stamp(header);
    return LandXmlFile(in.record, in.survey, header);
}
std::string RenderDxf(const ExportInput& in) {
    return DxfFile(in.record, in.survey);
}

constexpr std::array<ExportFormat, kExportFormatCount> kFormats = {{
    {"--svg", &SurveyOptions::svgPath, "SVG", "", "svg", false, false, true, RenderSvg},
    {"--points", &SurveyOptions::pointsPath, "points", "Points for a data collector, PNEZD", "csv",
     true, true, true, RenderPoints},
    {"--landxml", &SurveyOptions::landXmlPath, "LandXML", "LandXML 1.2", "xml", true, true, true,
     RenderLandXml},
    {"--dxf", &SurveyOptions::dxfPath, "DXF", "DXF drawing, R12", "dxf", true, false, true,
     RenderDxf},
}};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

const std::array<ExportFormat, kExportFormatCount>& ExportFormats() {
    return kFormats;
}

const ExportFormat* FindExportOption(std::string_view option) {
    for (const ExportFormat& format : kFormats) {
        if (format.option == option) return &format;
    }
    return nullptr;
}

const ExportFormat* FindExportSuffix(std::string_view suffix) {
    for (const ExportFormat& format : kFormats) {
        if (format.suffix.size() != suffix.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < suffix.size(); ++i)
            same &= Lower(suffix[i]) == format.suffix[i];
        if (same) return &format;
    }
    return nullptr;
}

}  // namespace bendwise
