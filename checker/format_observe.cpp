// Every wrong call in observe mode comes here, from any thread, possibly
// while another thread runs exit() or the process forks. Hence: no locks
// (a lock held at fork would stay held in the child), only atomics and
// fixed tables with trivial destructors (exit does not stop the other
// threads, and they may still report after the summary), and nothing that
// allocates once a site is known. Each line goes out in one write on an
// unbuffered stream, so that lines from several threads and processes do not
// interleave.
#include "checker/format_observe.hpp"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "checker/format_process.hpp"

namespace qirt::detail {

namespace {

constexpr char kPrefix[] = "qirt-format[";
constexpr std::size_t kSites = 256;
constexpr std::size_t kSiteTextBytes = 240;  // of a site's description, kept for the summary
constexpr std::size_t kLineBytes = 1024;
constexpr char kGap[] = " ... ";

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Copies `text` to `out`, at most `room` bytes; a longer text keeps its head
// and its tail (where the debug variant names the call) around " ... ", cut
// between UTF-8 characters. Returns the length copied.
std::size_t copyShortened(const char* text, std::size_t length, char* out, std::size_t room) {
  const std::size_t gap = sizeof kGap - 1;
  if (length <= room || room <= 2 * gap) {
    const std::size_t n = length < room ? length : room;
    std::memcpy(out, text, n);
    return n;
  }
  std::size_t head = (room - gap) / 2;
  std::size_t tail = length - (room - gap - head);
  while (head > 0 && isContinuation(text[head])) --head;
  while (tail < length && isContinuation(text[tail])) ++tail;
  std::memcpy(out, text, head);
  std::memcpy(out + head, kGap, gap);
  std::memcpy(out + head + gap, text + tail, length - tail);
  return head + gap + (length - tail);
}

// Where the lines go: opened at the first line, never closed, as a thread
// may still write after exit has run.
std::atomic<std::FILE*> reportStream{nullptr};
std::atomic<bool> logNoted{false};

// One line, built in place and written in one go.
class Line {
 public:
  Line() {
    append(kPrefix).append(processId()).append("]: ");
    start_ = length_;
  }

  Line& append(const char* text) { return append(text, std::strlen(text)); }
  Line& append(const char* text, std::size_t length) {
    const std::size_t n = copyShortened(text, length, text_ + length_, room());
    for (std::size_t i = length_; i < length_ + n; ++i) {
      const auto byte = static_cast<unsigned char>(text_[i]);
      if (byte < 0x20 || byte == 0x7F) text_[i] = '?';
    }
    length_ += n;
    return *this;
  }
  Line& append(std::uint64_t number) {
    char digits[24];
    std::size_t n = 0;
    do {
      digits[sizeof digits - ++n] = static_cast<char>('0' + number % 10);
      number /= 10;
    } while (number != 0);
    return append(digits + sizeof digits - n, n);
  }
  // "1 call", "2 calls".
  Line& append(std::uint64_t number, const char* noun) {
    return append(number).append(" ").append(noun).append(number == 1 ? "" : "s");
  }

  // What follows the prefix.
  const char* text() const { return text_ + start_; }
  std::size_t length() const { return length_ - start_; }
  void clear() { length_ = start_; }

  void write(std::FILE* stream) {
    text_[length_] = '\n';
    std::fwrite(text_, 1, length_ + 1, stream);
    std::fflush(stream);  // a program may have buffered standard error
  }
  void write();

 private:
  std::size_t room() const { return kLineBytes - 1 - length_; }  // one for '\n'

  char text_[kLineBytes];
  std::size_t length_ = 0;
  std::size_t start_ = 0;
};

// QIRT_FORMAT_LOG, appended and unbuffered, or standard error. Threads that
// race to open it first keep the winner's stream.
std::FILE* openReportStream() {
  const char* path = std::getenv("QIRT_FORMAT_LOG");
  if (path == nullptr || *path == '\0') return stderr;
  std::FILE* file = std::fopen(path, "a");
  if (file == nullptr) {
    if (!logNoted.exchange(true)) {
      Line()
          .append("cannot open QIRT_FORMAT_LOG=")
          .append(path)
          .append(": reports go to standard error")
          .write(stderr);
    }
    return stderr;
  }
  std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

void Line::write() {
  std::FILE* stream = reportStream.load(std::memory_order_acquire);
  if (stream == nullptr) {
    std::FILE* opened = openReportStream();
    if (reportStream.compare_exchange_strong(stream, opened, std::memory_order_acq_rel)) {
      stream = opened;
    } else if (opened != stderr) {
      std::fclose(opened);
    }
  }
  write(stream);
}

// A call site and problem. The key is a hash of both, never 0, which marks a
// free entry; the first thread to set it describes the site and then sets
// `described`.
struct site_t {
  std::atomic<std::uint64_t> key;
  std::atomic<std::uint64_t> calls;
  std::atomic<bool> described;
  char text[kSiteTextBytes];
  std::size_t length;
};

site_t sites[kSites];
std::atomic<std::uint64_t> callsElsewhere{0};  // at sites beyond the table
std::atomic<bool> tableFull{false};
std::atomic<bool> started{false};

class Hash {
 public:
  Hash& add(std::uint64_t number) {
    for (int i = 0; i < 8; ++i) byte(static_cast<unsigned char>(number >> (8 * i)));
    return *this;
  }
  Hash& add(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) byte(static_cast<unsigned char>(text[i]));
    return add(length);
  }
  Hash& add(const char* text) { return add(text, std::strlen(text)); }
  std::uint64_t value() const { return value_ != 0 ? value_ : 1; }

 private:
  void byte(unsigned char b) { value_ = (value_ ^ b) * 0x100000001B3ull; }  // FNV-1a
  std::uint64_t value_ = 0xCBF29CE484222325ull;
};

// The site is where the debug variant says the call is, else its format.
std::uint64_t siteKey(const call_t& call, const std::string& format, const problem_t& problem) {
  const bool typed =
      problem.argument != 0 && problem.argument <= call.count && call.types != nullptr;
  Hash hash;
  hash.add(call.family).add(call.wide).add(problem.kind).add(problem.argument).add(problem.star);
  hash.add(static_cast<std::uint64_t>(problem.position))
      .add(typed ? call.types[problem.argument - 1] : 0);
  hash.add(problem.wanted != nullptr ? problem.wanted : "");
  hash.add(problem.specifier.data(), problem.specifier.size());
  if (call.file != nullptr) {
    hash.add(call.file).add(static_cast<std::uint64_t>(call.line));
    hash.add(call.function != nullptr ? call.function : "");
  } else {
    hash.add(format.data(), format.size()).add(problem.offset);
  }
  return hash.value();
}

// The entry of `key`, claimed for it when new (then `*claimed` is set);
// null when the table is full.
site_t* findSite(std::uint64_t key, bool* claimed) {
  for (std::size_t probe = 0; probe < kSites; ++probe) {
    site_t& site = sites[(key + probe) % kSites];
    std::uint64_t seen = site.key.load(std::memory_order_acquire);
    if (seen == 0 && site.key.compare_exchange_strong(seen, key, std::memory_order_acq_rel)) {
      *claimed = true;
      return &site;
    }
    if (seen == key) return &site;
  }
  return nullptr;
}

// The message, or what can be said without memory.
void describe(const call_t& call, const std::string& format, const problem_t& problem,
              Line* line) noexcept {
  try {
    describeFormatError(
        call, format, problem,
        [](const format_error_t& error, void* context) {
          static_cast<Line*>(context)->append(error.message);
        },
        line);
    return;
  } catch (...) {
    line->clear();
  }
  line->append("format \"").append(format.data(), format.size()).append("\": ");
  line->append("a wrong call, not described for want of memory");
  if (call.file != nullptr) {
    line->append(" (").append(call.file).append(":").append(static_cast<std::uint64_t>(call.line));
    if (call.function != nullptr) line->append(", ").append(call.function);
    line->append(")");
  }
}

// The sites that were described, most wrong calls first.
void writeSummary() noexcept {
  std::uint64_t calls[kSites];
  std::size_t order[kSites];
  std::size_t listed = 0;
  const std::uint64_t elsewhere = callsElsewhere.load(std::memory_order_relaxed);
  std::uint64_t total = elsewhere;
  for (std::size_t i = 0; i < kSites; ++i) {
    if (!sites[i].described.load(std::memory_order_acquire)) continue;
    calls[i] = sites[i].calls.load(std::memory_order_relaxed);
    total += calls[i];
    order[listed++] = i;
  }
  if (total == 0) return;
  // std::sort, unlike std::stable_sort, works without a buffer.
  std::sort(order, order + listed, [&calls](std::size_t a, std::size_t b) {
    return calls[a] != calls[b] ? calls[a] > calls[b] : a < b;
  });
  Line header;
  header.append("summary: ").append(total, "wrong call").append(" at ").append(listed, "call site");
  if (elsewhere != 0) header.append(" and more");
  header.write();
  for (std::size_t i = 0; i < listed; ++i) {
    const site_t& site = sites[order[i]];
    Line()
        .append("summary: ")
        .append(calls[order[i]])
        .append(" x ")
        .append(site.text, site.length)
        .write();
  }
  if (elsewhere != 0) {
    Line()
        .append("summary: ")
        .append(elsewhere)
        .append(" x at further call sites, not listed")
        .write();
  }
}

void writeSummaryAtExit() { writeSummary(); }

// In the child of a fork: the parent's sites and counts are the parent's.
void forgetSites() {
  for (site_t& site : sites) {
    site.key.store(0, std::memory_order_relaxed);
    site.calls.store(0, std::memory_order_relaxed);
    site.described.store(false, std::memory_order_relaxed);
  }
  callsElsewhere.store(0, std::memory_order_relaxed);
  tableFull.store(false, std::memory_order_relaxed);
}

void start() noexcept {
  if (started.load(std::memory_order_acquire) || started.exchange(true)) return;
  std::atexit(writeSummaryAtExit);
  callInForkedChild(forgetSites);
}

}  // namespace

void observeFormatError(const call_t& call, const std::string& format, const problem_t& problem,
                        FormatMode mode) noexcept {
  start();
  bool claimed = false;
  site_t* site = findSite(siteKey(call, format, problem), &claimed);
  if (site == nullptr) {
    callsElsewhere.fetch_add(1, std::memory_order_relaxed);
    if (!tableFull.exchange(true)) writeSummary();
    if (mode != kFormatModeAbort) return;
    Line line;
    describe(call, format, problem, &line);
    line.write();
    std::abort();
  }
  site->calls.fetch_add(1, std::memory_order_relaxed);
  if (claimed) {
    Line line;
    describe(call, format, problem, &line);
    line.write();
    site->length = copyShortened(line.text(), line.length(), site->text, kSiteTextBytes);
    site->described.store(true, std::memory_order_release);
  }
  if (mode != kFormatModeAbort) return;
  // Not before the line is out, whichever thread writes it.
  while (!site->described.load(std::memory_order_acquire)) std::this_thread::yield();
  std::abort();
}

void writeFormatNote(const char* first, const char* second, const char* third) noexcept {
  Line().append(first).append(second).append(third).write();
}

}  // namespace qirt::detail
