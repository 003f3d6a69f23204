// The lines of a batch file or pipe, read with bounded memory.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace bendwise::cli {

// The longest batch line read, in bytes without its line feed. A line of entries needs a
// few hundred bytes (ten fields of 16 characters, quoted); the cap bounds the memory a
// batch takes whatever it holds (--batch /dev/zero).
constexpr std::size_t kMaxBatchLine = 64 * 1024;

// The lines of a batch, read in large pieces with at most kMaxBatchLine bytes a line, so
// that memory stays bounded whatever the input holds.
class LineReader {
  public:
    enum class Result { Line, End, TooLong, ReadError };

    explicit LineReader(int fd) : m_fd(fd), m_buffer(4 * kMaxBatchLine) {}

    // The next line without its line feed (valid until the next call), the end of the
    // input, a line over kMaxBatchLine bytes, or a failed read (errno in Error()).
    Result Next(std::string_view& line) {
        for (;;) {
            const char* start = m_buffer.data() + m_begin;
            const auto* feed = static_cast<const char*>(
                std::memchr(m_buffer.data() + m_scanned, '\n', m_end - m_scanned));
            if (feed != nullptr) {
                line = std::string_view(start, static_cast<std::size_t>(feed - start));
                m_begin = m_scanned = static_cast<std::size_t>(feed - m_buffer.data()) + 1;
                return line.size() > kMaxBatchLine ? Result::TooLong : Result::Line;
            }
            m_scanned = m_end;
            if (m_end - m_begin > kMaxBatchLine) return Result::TooLong;
            if (m_atEnd) {
                if (m_begin == m_end) return Result::End;
                line = std::string_view(start, m_end - m_begin);
                m_begin = m_scanned = m_end;
                return Result::Line;
            }
            if (m_end == m_buffer.size()) {  // the line so far moves to the front
                std::memmove(m_buffer.data(), start, m_end - m_begin);
                m_end -= m_begin;
                m_scanned = m_end;
                m_begin = 0;
            }
            const ssize_t got = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
            if (got < 0) {
                if (errno == EINTR) continue;
                m_error = errno;
                return Result::ReadError;
            }
            if (got == 0) m_atEnd = true;
            m_end += static_cast<std::size_t>(got);
        }
    }
    int Error() const { return m_error; }

    // True when no further line is at hand: none in the buffer, and the input has nothing
    // ready to read now (a pipe fed slowly, a terminal). A file always has. Node's file
    // layer under WebAssembly answers poll() wrongly, so there it is never asked.
    bool WouldWait() const {
#if defined(__EMSCRIPTEN__)
        return false;
#endif
        if (m_atEnd || std::memchr(m_buffer.data() + m_scanned, '\n', m_end - m_scanned)) {
            return false;
        }
        pollfd ready{m_fd, POLLIN, 0};
        return ::poll(&ready, 1, 0) == 0;
    }

  private:
    int m_fd;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;    // start of the next line
    std::size_t m_scanned = 0;  // searched for a line feed up to here
    std::size_t m_end = 0;      // bytes read up to here
    bool m_atEnd = false;
    int m_error = 0;
};

}  // namespace bendwise::cli
