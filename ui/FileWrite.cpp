#include "ui/FileWrite.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "report/FileWrite.h"

namespace bendwise {

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason) {
    // The same writer as the command line's drawings: replaced in one step, a device or
    // FIFO written in place, nothing removed.
    const int error =
        ReplaceFile(QFile::encodeName(path).toStdString(),
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (error == 0) return true;
    reason = error == EWOULDBLOCK ? QStringLiteral("the file is in use by another program")
                                  : QString::fromLocal8Bit(std::strerror(error));
    return false;
}

}  // namespace bendwise
