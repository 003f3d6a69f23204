// The one place the curve windows write a file (a drawing, a table).
#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace bendwise {

class CPlatform;

// Writes `bytes` to `path` as a whole, creating or replacing the file, with the writer of
// report/FileWrite.h: the bytes go to a temporary file beside it, renamed over `path`
// only once all are on disk (the file's mode kept), so a failed write leaves an existing
// file as it was and no partial file behind; a device or FIFO is written in place and
// never removed. When the file could not be written, says so in a message box over
// `parent` ("Could not write PATH: No space left on device") and returns false.
bool WriteWholeFile(CPlatform& platform, QWidget* parent, const QString& path,
                    std::string_view bytes);

}  // namespace bendwise
