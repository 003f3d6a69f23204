#include "report/Report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "solver/CurveModel.h"

namespace bendwise {
namespace {

constexpr std::size_t kLeftColumn = 32;  // the right column starts in column 33
constexpr std::size_t kLabelWidth = 13;  // every value starts in column 14 of its column

// Seven pairs of a hyphen and a blank; with the one-blank right text the separator line is
// 33 characters and its line feed.
constexpr const char* kSeparator = "- - - - - - - ";

std::string Labelled(const char* label, const std::string& value) {
    std::string text(label);
    if (text.size() < kLabelWidth) text.append(kLabelWidth - text.size(), ' ');
    text += value;
    return text;
}

// Writes all of `data` from the current position; false on any failure.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void WriteReportLine(std::string& out, std::string left, std::string right) {
    if (left.size() < kLeftColumn) left.append(kLeftColumn - left.size(), ' ');
    out += left;
    out += right;
    out += '\n';
}

std::string BuildReportBlock(const CCurveRecord& r) {
    std::string block;
    block.reserve(640);
    WriteReportLine(block, kSeparator, " ");
    WriteReportLine(block, Labelled("Radius", r.Text(Field::Radius)),
                    Labelled("Larc", r.Text(Field::LengthArc)));
    WriteReportLine(block, Labelled("Degree arc", r.Text(Field::DegreeArc)),
                    Labelled("Lrr", r.Text(Field::LengthRR)));
    WriteReportLine(block, Labelled("Degree RR", r.Text(Field::DegreeChord)),
                    Labelled("Chord", r.Text(Field::Chord)));
    WriteReportLine(block, Labelled("Delta/2", r.Text(Field::HalfDelta)),
                    Labelled("Tangent", r.Text(Field::Tangent)));
    WriteReportLine(block, Labelled("Delta", r.Text(Field::Delta)),
                    Labelled("Inbound Az", r.Text(Field::InboundAz)));
    WriteReportLine(block, Labelled("External", r.Text(Field::External)),
                    Labelled("Chord Az", r.Text(Field::ChordAz)));
    WriteReportLine(block, Labelled("MidOrdinate", r.Text(Field::MidOrdinate)),
                    Labelled("Outward Az", r.Text(Field::OutboundAz)));
    WriteReportLine(block, Labelled("Circle Area", r.Text(Field::CircleArea)),
                    Labelled("Sector Area", r.Text(Field::SectorArea)));
    WriteReportLine(block, Labelled("Segment Area", r.Text(Field::SegmentArea)),
                    Labelled("Fillet Area", r.Text(Field::FilletArea)));
    WriteReportLine(block, kSeparator, " ");
    return block;
}

BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, const std::string& block) {
    struct stat before;
    const bool existed = ::stat(path.c_str(), &before) == 0;

    int flags = O_WRONLY | O_CLOEXEC;
    if (mode != ReportOpen::ExistingKeep) flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return BlockWrite::OpenFailed;

    // Pipes and terminals cannot seek: they are simply written to.
    off_t original = ::lseek(fd, 0, SEEK_END);
    const bool seekable = original >= 0;
    if (!seekable) original = 0;

    auto undo = [&]() {
        if (seekable) {
            (void)!::ftruncate(fd, original);
        }
        ::close(fd);
        if (!existed) ::unlink(path.c_str());
        return BlockWrite::WriteFailed;
    };

    if (!WriteAll(fd, block.data(), block.size())) return undo();

    if (mode == ReportOpen::CreateEmpty && seekable && original > 0) {
        // A new file replaces the old contents, but only once the block is known to fit:
        // it was written after them above, so a full disk has cut nothing. Now it moves to
        // the front, over space the file already holds, and the rest is cut off.
        if (::lseek(fd, 0, SEEK_SET) != 0 || !WriteAll(fd, block.data(), block.size()) ||
            ::ftruncate(fd, static_cast<off_t>(block.size())) != 0) {
            ::close(fd);
            return BlockWrite::WriteFailed;
        }
    }

    if (::close(fd) != 0) {
        if (seekable && mode != ReportOpen::CreateEmpty) {
            (void)!::truncate(path.c_str(), original);
        }
        return BlockWrite::WriteFailed;
    }
    return BlockWrite::Written;
}

ReportResult CCurveModel::WriteReport(bool newFile) {
    const std::string block = BuildReportBlock(m_record);
    BlockWrite written = BlockWrite::OpenFailed;

    // Append goes straight to the file remembered in this run while it can be opened.
    if (!newFile && !m_reportPath.empty()) {
        written = WriteBlockToFile(m_reportPath, ReportOpen::ExistingKeep, block);
    }
    if (written == BlockWrite::OpenFailed) {
        std::optional<std::string> path = m_host->AskReportPath(
            newFile ? "New Curve Data File" : "No file to append - Create New");
        if (!path) return ReportResult::Cancelled;
        // Remembered before the open, so that a failed open is tried again next time.
        m_reportPath = *path;
        written = WriteBlockToFile(
            m_reportPath, newFile ? ReportOpen::CreateEmpty : ReportOpen::CreateKeep, block);
        if (written == BlockWrite::OpenFailed) {
            m_host->ShowMessage("File does not exist or is Read-Only.");
            return ReportResult::OpenFailed;
        }
    }
    if (written == BlockWrite::WriteFailed) {
        m_host->ShowMessage(kReportIncompleteMessage);
        return ReportResult::WriteFailed;
    }
    m_host->PlaySound(Sound::Asterisk);
    return ReportResult::Written;
}

}  // namespace bendwise
