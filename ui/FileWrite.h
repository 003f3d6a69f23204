// The one place the curve windows write a file (a drawing, a table).
#pragma once

#include <QByteArray>
#include <QString>

namespace bendwise {

// Writes `bytes` to `path` as a whole, creating or replacing the file, with the writer of
// report/FileWrite.h: the bytes go to a temporary file beside it, renamed over `path`
// only once all are on disk (the file's mode kept), so a failed write leaves an existing
// file as it was and no partial file behind; a device or FIFO is written in place and
// never removed. Returns false with a one-line `reason` ("No space left on device") when
// the file could not be written.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason);

}  // namespace bendwise
