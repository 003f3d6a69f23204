// The calculator without its window: the session that ties the engine together.
//
// CCurveModel owns the curve record and the remembered report path, links to the
// application's CCurveMemory and talks to the outside only through CCurveHost. The window,
// the command-line program, the web page and the tests all drive it the same way: hand a
// field's text to its OnKillfocus handler when the field loses the focus, call OnEnterKey
// for the Enter key, the check-box handlers when a box changes, WriteReport for the two
// report buttons, and read the display texts from Record() when the host is told to
// refresh.
//
// The work itself is done elsewhere, each piece behind its own header: the entry rules
// decide what an entry does (entry/EntryRules.h), the solver and the derivation compute the
// curve (solver/Solve.h, solver/Derive.h), the report module builds and writes the block
// (report/Report.h). They return values and notices; the session applies them to the
// record and the memory and hands the notices to the host in order.
//
// Calls go one way: the front end calls the model, the model calls the host back (messages,
// sounds, status reasons, indicators, refresh, the file question) and returns when the
// host returns.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "entry/EntryRules.h"
#include "report/FileWrite.h"
#include "session/CurveHost.h"
#include "solver/Curve.h"
#include "solver/Fields.h"
#include "solver/Solve.h"

namespace bendwise {

// What became of one report button press.
enum class ReportResult {
    Written,      // one complete block added, asterisk played
    Cancelled,    // the file dialog was cancelled: nothing written, nothing shown
    OpenFailed,   // "File does not exist or is Read-Only."
    WriteFailed,  // the block could not be written completely; the file is as it was
                  // before the block (kReportIncompleteMessage, or kReportPartMessage when
                  // this run had replaced the file)
    Locked,       // another program held the file longer than kLockWait: nothing written,
                  // kReportLockedMessage
    Moved,        // another program removed or replaced the held file: nothing written,
                  // kReportMovedMessage
};

class CCurveModel {
  public:
    // Neither pointer is owned; both must outlive the model.
    CCurveModel(CCurveMemory* memory, CCurveHost* host);

    // The dialog's initialisation: constants, empty report path, the remembered curve and
    // flags copied from the memory, then Recalculate(0).
    void Initialize();

    // Solves the current pair after an entry of `group` (a GROUP_ code, or 0 for none),
    // derives every other element, rebuilds all twenty texts, saves the curve to the
    // memory and refreshes the host. The same pair with nothing changed since the last
    // solve is solved from the same values again, so R, L and Delta stay the same doubles. Where
    // the pair has no real solution for the values given (any of R, L, Delta not finite), R, L and
    // Delta are restored from the memory, with the warning sound and the message kNoSolutionMessage
    // (solver/Solve.h).
    void Recalculate(int group);

    // The ten entry handlers, each given the field's text as it stands when the field
    // loses the focus. OnKillfocus(Field, text) dispatches by field; result fields are
    // ignored there (Unchanged).
    EntryResult OnKillfocusRadius(const std::string& text);
    EntryResult OnKillfocusDegreeArc(const std::string& text);
    EntryResult OnKillfocusDegreeChord(const std::string& text);
    EntryResult OnKillfocusLengthArc(const std::string& text);
    EntryResult OnKillfocusLengthRR(const std::string& text);
    EntryResult OnKillfocusChord(const std::string& text);
    EntryResult OnKillfocusTangent(const std::string& text);
    EntryResult OnKillfocusDelta(const std::string& text);
    EntryResult OnKillfocusHalfDelta(const std::string& text);
    EntryResult OnKillfocusInboundAz(const std::string& text);
    EntryResult OnKillfocus(Field field, const std::string& text);

    // Enter pressed anywhere but on a push button: the next entry handler re-reads its
    // field even when unchanged (until the next Recalculate clears the flag).
    void OnEnterKey() { m_record.m_forceReread = 1; }

    // Check boxes, given the box's new state.
    void OnLeft(bool checked);         // Recalculate(0)
    void OnPackedDms(bool checked);    // no recalculation: only the next angle entry changes
    void OnAcres(bool checked);        // memory's m_acres, Recalculate(0)
    void OnAlwaysOnTop(bool checked);  // the flag only; the window does the placement

    // Typed angle text to decimal degrees with the packed option of the record; shows
    // "Not in DDD.MMSS format" or "Could not interpret input" and returns 0 on failure
    // (angle unchanged), returns 1 on success.
    int ReadAngleField(std::string text, double& angle);

    // 1 when an arc length and a long chord may form the pair, 0 when refused; shows its
    // own messages ("Larc cannot be less than Chord.", "Larc and Chord not implemented past
    // semicircle.", and the warning "Arc near chord, sensitive to rounding.").
    int CheckArcAgainstChord(double arc, double chord);

    // The two report buttons. Asks the host for a path when `newFile` is set or no usable
    // file is remembered, then adds one 11-line block to the file.
    ReportResult WriteReport(bool newFile);
    ReportResult OnWriteNewFile() { return WriteReport(true); }
    ReportResult OnAppendToFile() { return WriteReport(false); }
    // Keeps the report file open and locked from one block to the next instead of closing
    // it after each: the command-line program holds it for its whole run. The window does
    // not, so that other programs may write to the file between two presses.
    void HoldReportFile(bool hold) { m_holdReportFile = hold; }
    // With the file held, a batch may also queue its blocks (report/FileWrite.h): each
    // queued block plays its asterisk at once, as written; FlushReport writes them. When a
    // flush falls short the caller takes back what it showed for the blocks that did not
    // reach the file (from the asterisk of the first of them on) and then calls
    // ReportFlushFailed, which says so as a failed block does.
    void QueueReportBlocks(bool queue) { m_reportFile.QueueBlocks(queue); }
    std::size_t QueuedReportBlocks() const { return m_reportFile.QueuedBlocks(); }
    std::size_t QueuedReportBytes() const { return m_reportFile.QueuedBytes(); }
    ReportAppender::Flushed FlushReport() { return m_reportFile.FlushQueued(); }
    ReportResult ReportFlushFailed(BlockWrite result) { return Conclude(result); }

    const CCurveRecord& Record() const { return m_record; }
    CCurveRecord& MutableRecord() { return m_record; }
    const CCurveMemory& Memory() const { return *m_memory; }
    const std::string& Text(Field f) const { return m_record.Text(f); }
    const std::string& ReportPath() const { return m_reportPath; }
    // True when the last Recalculate had to restore the previous curve.
    bool LastSolveFailed() const { return m_lastSolveFailed; }

  private:
    void ShowIndicators();
    void SaveToMemory();
    void Show(const Notice& notice);
    void Replay(const Notices& notices);
    // The sound or message that ends a report block's write, and its result.
    ReportResult Conclude(BlockWrite written);

    // What the last solve started from and what the derivation left, so that a re-solve
    // of the same pair with nothing new gives the same curve (Recalculate).
    struct SolveMemo {
        bool valid = false;
        int pair = 0;
        std::array<double, 6> inputs{};  // R, L, Lrr, Delta, C, T before the solve
        std::array<double, 6> shown{};   // the same after the derivation
        static void Take(const CCurveRecord& record, std::array<double, 6>& values);
        bool Untouched(const CCurveRecord& record, int pair) const;
        void Restore(CCurveRecord& record) const;
    };

    CCurveRecord m_record;
    SolveMemo m_solveMemo;
    CCurveMemory* m_memory;
    CCurveHost* m_host;
    std::string m_reportPath;
    ReportAppender m_reportFile;
    bool m_holdReportFile = false;
    // "Write New File" replaced the file at m_reportPath in this run: after a failure it
    // holds this run's blocks, not its old contents.
    bool m_replacedReport = false;
    bool m_lastSolveFailed = false;
};

// "Report not written completely; the file is unchanged."
extern const char* const kReportIncompleteMessage;
// "Report not written; the file is in use by another program."
extern const char* const kReportLockedMessage;
// "Report not written completely; the new file holds the blocks before this one."
extern const char* const kReportPartMessage;
// "Report not written; the file was removed or replaced by another program."
extern const char* const kReportMovedMessage;

}  // namespace bendwise
