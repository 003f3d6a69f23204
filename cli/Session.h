// One run of the calculator without its window: entries applied as a person would type
// them, each curve written as a report block, fields, JSON and survey files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Entry.h"
#include "cli/Output.h"
#include "frontend/SurveyOptions.h"
#include "report/Report.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "solver/Fields.h"
#include "survey/ExchangeFiles.h"

namespace bendwise::cli {

// The engine's door to the outside, for a terminal: messages and sounds become lines on
// standard error, the file question is answered with the --output / --append path.
class CliHost : public CCurveHost {
  public:
    CliHost(Output* output, std::optional<std::string> reportPath)
        : m_output(output), m_reportPath(std::move(reportPath)) {}

    void ShowMessage(std::string_view text) override {
        m_line.assign("message: ");
        m_line.append(text);
        m_line.push_back('\n');
        m_output->Err(m_line);
    }
    void PlaySound(Sound sound) override {
        m_output->Err(sound == Sound::Asterisk ? "sound: asterisk\n" : "sound: exclamation\n");
    }
    // What the window's status line says: why an entry was refused, or what it warns of.
    void ShowStatus(std::string_view text) override {
        m_line.assign("reason: ");
        m_line.append(text);
        m_line.push_back('\n');
        m_output->Err(m_line);
    }
    void SetIndicator(int, bool) override {}
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return m_reportPath; }

  private:
    Output* m_output;
    std::optional<std::string> m_reportPath;
    std::string m_line;
};

enum class Target { Stdout, NewFile, AppendFile };

// One run of the calculator.
class Session {
  public:
    // In a `batch` that writes only report blocks, the blocks are queued and written many
    // at a time (report/FileWrite.h): such a run prints nothing to standard output and
    // writes no other file, so standard error, held meanwhile, is all it shows of them.
    // A file this run reads or appends to, which no file it writes may turn out to be.
    struct KeptFile {
        std::string option;  // "--batch"
        std::string path;    // as opened ("/dev/stdin" for "-")
        std::string shown;   // as given
    };

    Session(Output* output, Target target, std::optional<std::string> reportPath, bool fields,
            const SurveyOptions* survey, bool batch, std::vector<KeptFile> kept)
        : m_output(output),
          m_kept(std::move(kept)),
          m_host(output, std::move(reportPath)),
          m_model(&m_memory, &m_host),
          m_target(target),
          m_fields(fields),
          m_survey(survey),
          m_request(RequestOf(*survey)),
          m_blocksOnly(target != Target::Stdout && !fields && PrintsNothingPerCurve(*survey)) {
        m_model.Initialize();
        m_model.HoldReportFile(true);
        m_model.QueueReportBlocks(batch && m_blocksOnly);
        m_output->HoldErr(batch && m_blocksOnly);
    }

    // Applies one entry; returns false when it was refused.
    bool Apply(const Entry& entry) {
        if (entry.box != nullptr) {
            SetSwitch(m_model, *entry.box, entry.on);
            return true;
        }
        m_model.OnEnterKey();
        const EntryResult result = m_model.OnKillfocus(entry.field, entry.text);
        // An accepted pair without a real solution brought the previous curve back: for
        // the user that entry did not take.
        return result != EntryResult::Refused &&
               !(result == EntryResult::Accepted && m_model.LastSolveFailed());
    }

    // Writes the current curve: the block to the report file or standard output, and the
    // fields to standard output when asked; then the survey asked for (text after the block,
    // or the JSON line instead of block and fields; the SVG file). `line` is the batch line,
    // 0 outside a batch. Returns false when a file or standard output was not written.
    bool Emit(long line = 0) {
        if (m_target != Target::Stdout) {
            if (!m_output->Settle()) return false;
            const bool newFile = m_target == Target::NewFile && m_firstBlock;
            m_firstBlock = false;
            const std::size_t queued = m_model.QueuedReportBlocks();
            const std::size_t errBefore = m_output->ErrSize();
            if (m_model.WriteReport(newFile) != ReportResult::Written) return false;
            if (m_model.QueuedReportBlocks() > queued) m_queuedErr.push_back(errBefore);
            if (m_blocksOnly) return true;
        }
        const CurveSurvey survey = SurveyCurve(m_model.Record(), m_request);
        // A batch numbers its points on from file to file, each point on the ground once,
        // unless every file is to start at --first-point again.
        if (!m_survey->restartNumbers) {
            m_request.firstPoint += static_cast<long>(NumberedPoints(survey).size());
        }
        if (m_survey->json) {
            m_output->Out(CurveJson(m_model.Record(), m_memory, survey, line));
        } else if (m_fields) {
            m_buffer.clear();
            for (const FieldInfo& info : Fields()) {
                m_buffer.append(info.name).push_back('=');
                m_buffer.append(m_model.Text(info.field)).push_back('\n');
            }
            m_buffer.append("pair=")
                .append(GroupName(m_memory.m_lastGroup))
                .append(",")
                .append(GroupName(m_memory.m_prevGroup))
                .push_back('\n');
            m_output->Out(m_buffer);
        } else if (m_target == Target::Stdout) {
            m_output->Out(BuildReportBlock(m_model.Record()));
        }
        if (!m_survey->json) m_output->Out(SurveyText(m_model.Record(), survey));
        if (survey.spiral && survey.spiral->curve.refusal) {
            m_output->Err("bendwise-cli: no spirals: " + *survey.spiral->curve.refusal + "\n");
            m_filesLeftOut = true;
        }
        if (survey.stakeout && survey.stakeout->intervalRefused) {
            m_output->Err("bendwise-cli: no stakeout: " + *survey.stakeout->error + "\n");
            m_filesLeftOut = true;
        }
        std::string skipped;
        const std::vector<SurveyFile> files =
            SurveyFiles(*m_survey, m_model.Record(), survey, line, skipped);
        // A standard output that has failed stops the run before another file is written.
        if (!files.empty() && !m_output->Settle()) return false;
        for (const SurveyFile& file : files) {
            // Checked before every write, by identity: a file named per batch line may be
            // a link to the batch file or the report, which no check of names up front sees.
            for (const KeptFile& kept : m_kept) {
                if (SameFile(file.path, kept.path)) {
                    m_output->Err("bendwise-cli: cannot write " + std::string(file.kind) +
                                  " file '" + file.path + "': it is the " + kept.option +
                                  " file '" + kept.shown + "'\n");
                    return false;
                }
            }
            std::string reason;
            const bool written = WriteOutputFile(file.path, file.bytes, file.kind, reason);
            if (!reason.empty()) m_output->Err("bendwise-cli: " + reason + "\n");
            if (!written) return false;
        }
        if (!skipped.empty()) {
            m_output->Err("bendwise-cli: " + skipped + "\n");
            m_filesLeftOut = true;
        }
        return !m_output->Failed();
    }

    // Writes the queued report blocks, when they (or standard error) have grown large or
    // when `all`, and then standard error. False when a block did not reach the file:
    // standard error is cut back to what it held before that block's asterisk and the
    // failure is told there instead, so the run ends as it would have had each block been
    // written on its own.
    bool Flush(bool all) {
        if (!all && m_model.QueuedReportBytes() < kQueueFlushAt &&
            m_output->ErrSize() < Output::kErrFlushAt) {
            return true;
        }
        const ReportAppender::Flushed flushed = m_model.FlushReport();
        const bool written = flushed.result == BlockWrite::Written;
        if (!written) {
            m_output->TakeBackErr(m_queuedErr[flushed.written]);
            m_model.ReportFlushFailed(flushed.result);
        }
        m_queuedErr.clear();
        m_output->FlushErr();
        return written;
    }

    // True once a curve could not be placed for the files that need coordinates.
    bool FilesLeftOut() const { return m_filesLeftOut; }

  private:
    Output* m_output;
    const std::vector<KeptFile> m_kept;
    CCurveMemory m_memory;
    CliHost m_host;
    CCurveModel m_model;
    Target m_target;
    bool m_fields;
    const SurveyOptions* m_survey;
    SurveyRequest m_request;  // its firstPoint moves on with every curve written
    const bool m_blocksOnly;  // the report file gets the block, and nothing else is written
    bool m_firstBlock = true;
    bool m_filesLeftOut = false;
    std::string m_buffer;
    // For each queued block, how much standard error held just before its asterisk.
    std::vector<std::size_t> m_queuedErr;
    // Queued blocks are written once they fill this much: about 116 blocks a write().
    static constexpr std::size_t kQueueFlushAt = 1 << 16;
};

}  // namespace bendwise::cli
