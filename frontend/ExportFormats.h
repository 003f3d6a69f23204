// The files a curve can be written as, each described once: the bendwise-cli option that
// asks for it and where SurveyOptions keeps its path, the word its messages use, the
// window's file type and suffix, whether the curve must be placed first, whether this
// build writes it, and how its bytes are made. The command-line program (through
// frontend/SurveyOptions.h) and the window's Export... read it here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/SurveyOptions.h"
#include "solver/Curve.h"
#include "survey/CurveSurvey.h"

namespace bendwise {

// What a file is made from.
struct ExportInput {
    const CCurveRecord& record;
    const CurveSurvey& survey;
    bool metric = false;        // LandXML in meter units (--unit m, metre(s), meter(s))
    bool usSurveyFoot = false;  // ... in US survey feet (--unit usft, survey foot, ...)
};

struct ExportFormat {
    std::string_view option;  // "--points"
    std::optional<std::string> SurveyOptions::*path;
    std::string_view kind;     // the word of its messages: "cannot write points file ..."
    std::string_view caption;  // the window's file type; "" when the window does not offer it
    std::string_view suffix;   // "csv"
    bool needsPlace;           // needs the curve placed (--pc or --pi)
    bool numbered;             // lists the points by number (--first-point on)
    bool available;            // false: this build cannot write it (none today: every build
                               // writes every format), so no help text offers it
    std::string (*render)(const ExportInput& input);
};

// In the order the help lists them and the window offers them.
constexpr std::size_t kExportFormatCount = 4;
const std::array<ExportFormat, kExportFormatCount>& ExportFormats();
// The format of an option name ("--dxf"), or of a file suffix in any case ("DXF", without
// the dot), or null.
const ExportFormat* FindExportOption(std::string_view option);
const ExportFormat* FindExportSuffix(std::string_view suffix);

}  // namespace bendwise
