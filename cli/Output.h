// Standard output and standard error of bendwise-cli, and its exit statuses.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace bendwise::cli {

// Exit statuses.
constexpr int kExitAccepted = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotWritten = 3;

// Standard output through a large stdio buffer; standard error gathered here, so that what
// it holds can be taken back (see Session::Flush). Switching streams writes out the one
// written before, so that the two stay in order when they share a file.
class Output {
  public:
    // Standard error is written out once it holds this much, unless held.
    static constexpr std::size_t kErrFlushAt = 1 << 14;

    Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Out(std::string_view text) {
        // Nothing to write must not count as a switch of streams: the empty survey text
        // after each block would otherwise flush standard error once per block.
        if (text.empty()) return;
        if (!m_err.empty()) FlushErr();
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) m_outFailed = true;
        m_outPending = true;
    }
    void Err(std::string_view text) {
        Settle();
        m_err.append(text);
        if (!m_holdErr && m_err.size() >= kErrFlushAt) FlushErr();
    }
    // Writes out what standard output holds; false once standard output has failed. Called
    // before a file is written, so that the run stops before touching it.
    bool Settle() {
        if (m_outPending) {
            m_outPending = false;
            if (std::fflush(stdout) != 0) m_outFailed = true;
        }
        return !m_outFailed;
    }
    // True once a write to standard output has failed: the run stops.
    bool Failed() const { return m_outFailed; }

    // While held, standard error is written out only by FlushErr (and Finish).
    void HoldErr(bool hold) { m_holdErr = hold; }
    // What standard error holds, not yet written out; TakeBackErr(size) drops all after
    // the first `size` bytes of it.
    std::size_t ErrSize() const { return m_err.size(); }
    void TakeBackErr(std::size_t size) { m_err.resize(std::min(size, m_err.size())); }
    void FlushErr() {
        // Standard error is unbuffered: one write() of what gathered. A failure there has
        // nowhere to be told.
        std::fwrite(m_err.data(), 1, m_err.size(), stderr);
        m_err.clear();
    }

    // Flushes both; false when standard output could not be written.
    bool Finish() {
        FlushErr();
        return std::fflush(stdout) == 0 && !std::ferror(stdout);
    }

  private:
    std::string m_err;
    bool m_outPending = false;
    bool m_holdErr = false;
    bool m_outFailed = false;
};

}  // namespace bendwise::cli
