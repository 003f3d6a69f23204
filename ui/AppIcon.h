// The program's icon, drawn in code so that no image plugin is needed: a circular arc
// between two tangent lines meeting at the PI, as on data/bendwise.svg for the desktop.
#pragma once

#include <QIcon>

namespace bendwise {

QIcon MakeAppIcon();

}  // namespace bendwise
