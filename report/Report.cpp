#include "report/Report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "solver/CurveModel.h"

namespace bendwise {
namespace {

constexpr std::size_t kLeftColumn = 32;  // the right column starts in column 33
constexpr std::size_t kLabelWidth = 13;  // every value starts in column 14 of its column

// Seven pairs of a hyphen and a blank; with the one-blank right text the separator line is
// 33 characters and its line feed.
constexpr const char* kSeparator = "- - - - - - - ";

// Appends `label` padded with blanks to kLabelWidth (a longer label is kept whole), then
// `value`. Returns how many characters were appended.
std::size_t AppendLabelled(std::string& out, std::string_view label, std::string_view value) {
    out.append(label);
    if (label.size() < kLabelWidth) out.append(kLabelWidth - label.size(), ' ');
    out.append(value);
    return std::max(label.size(), kLabelWidth) + value.size();
}

// The separator line, as WriteReportLine(out, kSeparator, " ") writes it.
void AppendSeparatorLine(std::string& out) {
    const std::string_view separator = kSeparator;
    out.append(separator);
    out.append(kLeftColumn - separator.size(), ' ');
    out.append(" \n");
}

// One data line: two labelled values, the left one padded to kLeftColumn. The same text
// as WriteReportLine(out, Labelled(...), Labelled(...)), built in place without the
// temporary strings (the block is rebuilt for every curve a batch writes).
void AppendPairLine(std::string& out, std::string_view leftLabel, const std::string& leftValue,
                    std::string_view rightLabel, const std::string& rightValue) {
    const std::size_t left = AppendLabelled(out, leftLabel, leftValue);
    if (left < kLeftColumn) out.append(kLeftColumn - left, ' ');
    AppendLabelled(out, rightLabel, rightValue);
    out += '\n';
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
    AppendSeparatorLine(block);
    AppendPairLine(block, "Radius", r.Text(Field::Radius), "Larc", r.Text(Field::LengthArc));
    AppendPairLine(block, "Degree arc", r.Text(Field::DegreeArc), "Lrr",
                   r.Text(Field::LengthRR));
    AppendPairLine(block, "Degree RR", r.Text(Field::DegreeChord), "Chord",
                   r.Text(Field::Chord));
    AppendPairLine(block, "Delta/2", r.Text(Field::HalfDelta), "Tangent",
                   r.Text(Field::Tangent));
    AppendPairLine(block, "Delta", r.Text(Field::Delta), "Inbound Az",
                   r.Text(Field::InboundAz));
    AppendPairLine(block, "External", r.Text(Field::External), "Chord Az",
                   r.Text(Field::ChordAz));
    AppendPairLine(block, "MidOrdinate", r.Text(Field::MidOrdinate), "Outward Az",
                   r.Text(Field::OutboundAz));
    AppendPairLine(block, "Circle Area", r.Text(Field::CircleArea), "Sector Area",
                   r.Text(Field::SectorArea));
    AppendPairLine(block, "Segment Area", r.Text(Field::SegmentArea), "Fillet Area",
                   r.Text(Field::FilletArea));
    AppendSeparatorLine(block);
    return block;
}

BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, const std::string& block) {
    // Without O_CREAT an open that succeeds found the file there: no need to ask first
    // (one path lookup fewer for every block appended to the remembered file).
    struct stat before;
    const bool existed =
        mode == ReportOpen::ExistingKeep || ::stat(path.c_str(), &before) == 0;

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
