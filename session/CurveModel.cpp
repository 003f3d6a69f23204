#include "session/CurveModel.h"

#include <cstring>

#include "report/Report.h"
#include "solver/Derive.h"
#include "solver/Solve.h"

namespace bendwise {

const char* const kReportIncompleteMessage =
    "Report not written completely; the file is unchanged.";
const char* const kReportLockedMessage =
    "Report not written; the file is in use by another program.";
const char* const kReportPartMessage =
    "Report not written completely; the new file holds the blocks before this one.";
const char* const kReportMovedMessage =
    "Report not written; the file was removed or replaced by another program.";

CCurveModel::CCurveModel(CCurveMemory* memory, CCurveHost* host) : m_memory(memory), m_host(host) {}

void CCurveModel::Initialize() {
    m_record.m_pi = 3.141592653589793;
    m_record.m_degPerRad = 180 / m_record.m_pi;
    m_reportPath.clear();
    m_solveMemo.valid = false;
    m_record.m_alwaysOnTop = 0;
    m_record.m_radius = m_memory->m_radius;
    m_record.m_lengthArc = m_memory->m_lengthArc;
    m_record.m_delta = m_memory->m_delta;
    m_record.m_inboundAz = m_memory->m_inboundAz;
    m_record.m_left = m_memory->m_left;
    m_record.m_packedDms = m_memory->m_packedDms;
    Recalculate(0);
}

namespace {

// The members a pair is solved from (and R, L, Delta, which it solves for).
constexpr double CCurveRecord::*kSolveMembers[] = {
    &CCurveRecord::m_radius, &CCurveRecord::m_lengthArc, &CCurveRecord::m_lengthRR,
    &CCurveRecord::m_delta,  &CCurveRecord::m_chord,     &CCurveRecord::m_tangent,
};

}  // namespace

void CCurveModel::SolveMemo::Take(const CCurveRecord& record, std::array<double, 6>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = record.*kSolveMembers[i];
}

bool CCurveModel::SolveMemo::Untouched(const CCurveRecord& record, int pair) const {
    if (!valid || pair != this->pair) return false;
    std::array<double, 6> now;
    Take(record, now);
    return std::memcmp(now.data(), shown.data(), sizeof now) == 0;
}

void CCurveModel::SolveMemo::Restore(CCurveRecord& record) const {
    for (std::size_t i = 0; i < inputs.size(); ++i) record.*kSolveMembers[i] = inputs[i];
}

void CCurveModel::Recalculate(int group) {
    UpdatePair(group, m_memory->m_lastGroup, m_memory->m_prevGroup);
    // The indicators show the new pair before solving, so also while a message is open.
    ShowIndicators();
    const int pair = m_memory->m_lastGroup + m_memory->m_prevGroup;
    // The derivation rewrites the chord, Lrr and tangent from R, L and Delta, and the
    // rewritten values are not bit for bit the ones the pair was solved from: solving
    // again from them (a new azimuth, Left, Acres, a refusal, Enter in an unchanged field)
    // would move the curve a little every time, most where the ratio inversions are
    // ill-conditioned. While nothing has touched the record since the last solve, the
    // same pair is solved again from the values it was solved from: the same curve, the
    // same notices.
    if (m_solveMemo.Untouched(m_record, pair)) {
        m_solveMemo.Restore(m_record);
    } else {
        SolveMemo::Take(m_record, m_solveMemo.inputs);
        m_solveMemo.pair = pair;
    }
    Notices notices;
    m_lastSolveFailed = !SolvePair(pair, m_record, *m_memory, notices);
    Replay(notices);
    DeriveElements(m_record, m_memory->m_acres != 0);
    SolveMemo::Take(m_record, m_solveMemo.shown);
    m_solveMemo.valid = true;
    m_record.m_forceReread = 0;
    SaveToMemory();
    m_host->RefreshScreen();
}

void CCurveModel::ShowIndicators() {
    for (int group : kAllGroups) m_host->SetIndicator(group, false);
    const int pair = m_memory->m_lastGroup + m_memory->m_prevGroup;
    for (int group : kAllGroups) {
        if (pair & group) m_host->SetIndicator(group, true);
    }
}

void CCurveModel::SaveToMemory() {
    m_memory->m_radius = m_record.m_radius;
    m_memory->m_lengthArc = m_record.m_lengthArc;
    m_memory->m_delta = m_record.m_delta;
    m_memory->m_inboundAz = m_record.m_inboundAz;
    m_memory->m_left = m_record.m_left;
    m_memory->m_packedDms = m_record.m_packedDms;
}

void CCurveModel::Show(const Notice& notice) {
    switch (notice.kind) {
        case Notice::Kind::Message:
            m_host->ShowMessage(notice.text);
            break;
        case Notice::Kind::Sound:
            m_host->PlaySound(notice.sound);
            break;
        case Notice::Kind::Status:
            m_host->ShowStatus(notice.text);
            break;
    }
}

void CCurveModel::Replay(const Notices& notices) {
    for (const Notice& notice : notices) Show(notice);
}

EntryResult CCurveModel::OnKillfocus(Field field, const std::string& text) {
    EntryOutcome outcome =
        TakeEntry(field, text, {m_record, m_memory->m_lastGroup, m_memory->m_prevGroup});
    for (EntryStep& step : outcome.steps) {
        if (auto* notice = std::get_if<Notice>(&step)) {
            Show(*notice);
        } else if (auto* shown = std::get_if<SetDisplayText>(&step)) {
            m_record.Text(shown->field) = std::move(shown->text);
        } else if (auto* store = std::get_if<StoreValue>(&step)) {
            m_record.*(store->member) = store->value;
        } else if (auto* recalculate = std::get_if<RecalculateWith>(&step)) {
            Recalculate(recalculate->group);
        }
    }
    return outcome.result;
}

EntryResult CCurveModel::OnKillfocusRadius(const std::string& text) {
    return OnKillfocus(Field::Radius, text);
}
EntryResult CCurveModel::OnKillfocusDegreeArc(const std::string& text) {
    return OnKillfocus(Field::DegreeArc, text);
}
EntryResult CCurveModel::OnKillfocusDegreeChord(const std::string& text) {
    return OnKillfocus(Field::DegreeChord, text);
}
EntryResult CCurveModel::OnKillfocusLengthArc(const std::string& text) {
    return OnKillfocus(Field::LengthArc, text);
}
EntryResult CCurveModel::OnKillfocusLengthRR(const std::string& text) {
    return OnKillfocus(Field::LengthRR, text);
}
EntryResult CCurveModel::OnKillfocusChord(const std::string& text) {
    return OnKillfocus(Field::Chord, text);
}
EntryResult CCurveModel::OnKillfocusTangent(const std::string& text) {
    return OnKillfocus(Field::Tangent, text);
}
EntryResult CCurveModel::OnKillfocusDelta(const std::string& text) {
    return OnKillfocus(Field::Delta, text);
}
EntryResult CCurveModel::OnKillfocusHalfDelta(const std::string& text) {
    return OnKillfocus(Field::HalfDelta, text);
}
EntryResult CCurveModel::OnKillfocusInboundAz(const std::string& text) {
    return OnKillfocus(Field::InboundAz, text);
}

int CCurveModel::ReadAngleField(std::string text, double& angle) {
    Notices notices;
    const bool read = ReadAngleEntry(std::move(text), m_record.m_packedDms != 0, angle, notices);
    Replay(notices);
    return read ? 1 : 0;
}

int CCurveModel::CheckArcAgainstChord(double arc, double chord) {
    Notices notices;
    const bool usable = bendwise::CheckArcAgainstChord(arc, chord, m_record.m_pi, notices);
    Replay(notices);
    return usable ? 1 : 0;
}

void CCurveModel::OnLeft(bool checked) {
    m_record.m_left = checked ? 1 : 0;
    Recalculate(0);
}

void CCurveModel::OnPackedDms(bool checked) {
    m_record.m_packedDms = checked ? 1 : 0;
}

void CCurveModel::OnAcres(bool checked) {
    m_memory->m_acres = checked ? 1 : 0;
    Recalculate(0);
}

void CCurveModel::OnAlwaysOnTop(bool checked) {
    m_record.m_alwaysOnTop = checked ? 1 : 0;
}

ReportResult CCurveModel::WriteReport(bool newFile) {
    const std::string block = BuildReportBlock(m_record);
    // Append goes straight to the file remembered in this run while it can be opened (or,
    // held from the block before, is still open).
    BlockWrite written = BlockWrite::OpenFailed;
    if (!newFile && !m_reportPath.empty()) {
        written = m_reportFile.Append(m_reportPath, ReportOpen::ExistingKeep, block);
    }
    if (newFile) m_replacedReport = false;
    if (written == BlockWrite::OpenFailed) {
        std::optional<std::string> path = m_host->AskReportPath(
            newFile ? "New Curve Data File" : "No file to append - Create New");
        if (!path) return ReportResult::Cancelled;
        // Remembered before the open, so that a failed open is tried again next time.
        m_reportPath = *path;
        m_replacedReport = false;
        written = m_reportFile.Append(
            m_reportPath, newFile ? ReportOpen::CreateEmpty : ReportOpen::CreateKeep, block);
        if (written == BlockWrite::OpenFailed) {
            m_host->ShowMessage("File does not exist or is Read-Only.");
            return ReportResult::OpenFailed;
        }
    }
    const bool inPlace = newFile && written == BlockWrite::Written && m_reportFile.RewroteInPlace();
    // One press holds the file (and its lock) only while it writes.
    if (written == BlockWrite::Written && !m_holdReportFile && !m_reportFile.Close()) {
        written = BlockWrite::WriteFailed;
    }
    const ReportResult result = Conclude(written);
    // Only a run that holds the file writes its later blocks into the file it replaced; a
    // press in the window is a write of its own, and "unchanged" speaks of that press.
    if (newFile && written == BlockWrite::Written && m_holdReportFile) m_replacedReport = true;
    if (inPlace) {
        m_host->ShowStatus("\"" + m_reportPath +
                           "\" is in a folder you may not write: it was written over in place, "
                           "not replaced in one step.");
    }
    return result;
}

ReportResult CCurveModel::Conclude(BlockWrite written) {
    switch (written) {
        case BlockWrite::Written:
            // Only after the whole block is in the file, or queued for it (the caller then
            // takes the sound back should the block never get there).
            m_host->PlaySound(Sound::Asterisk);
            return ReportResult::Written;
        case BlockWrite::Locked:
            m_host->ShowMessage(kReportLockedMessage);
            return ReportResult::Locked;
        case BlockWrite::Moved:
            m_host->ShowMessage(kReportMovedMessage);
            return ReportResult::Moved;
        default:
            m_host->ShowMessage(m_replacedReport ? kReportPartMessage : kReportIncompleteMessage);
            return ReportResult::WriteFailed;
    }
}

}  // namespace bendwise
