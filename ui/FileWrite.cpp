#include "ui/FileWrite.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "report/FileWrite.h"
#include "ui/Platform.h"

namespace bendwise {

bool WriteWholeFile(CPlatform& platform, QWidget* parent, const QString& path,
                    std::string_view bytes) {
    // The same writer as the command line's drawings: replaced in one step, a device or
    // FIFO written in place, nothing removed.
    const int error = ReplaceFile(QFile::encodeName(path).toStdString(), bytes);
    if (error == 0) return true;
    const QString reason = error == EWOULDBLOCK
                               ? QStringLiteral("the file is in use by another program")
                               : QString::fromLocal8Bit(std::strerror(error));
    platform.ShowMessage(parent, QStringLiteral("Could not write %1: %2").arg(path, reason));
    return false;
}

}  // namespace bendwise
