// The detection feed at its largest: 4 MiB of answer read as the exchange
// reads it (in network-sized pieces, then the list, then the new digests
// moved into KnownDigests), against an empty feed, in the same run. Reports
// the peak of memory allocated and the time of each, and their ratios
// against the empty feed; it asserts nothing (docs/benchmarks.md).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "quellix/update/DetectionFeed.h"

namespace {

std::size_t allocated = 0;
std::size_t peak = 0;

}  // namespace

// Every allocation of the program is counted: a block carries its size in front.
void* operator new(std::size_t size) {
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (block == nullptr) throw std::bad_alloc();
  *block = size;
  allocated += size;
  if (allocated > peak) peak = allocated;
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  auto* block =
      reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - sizeof(std::max_align_t));
  allocated -= *block;
  std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kMost = quellix::update::kMostFeedBytes;
constexpr std::size_t kPiece = 64 * 1024;

std::string Answer(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Lines up to the 4 MiB limit, then the end marker.
std::string BodyOf(const std::vector<std::string>& lines) {
  std::string body;
  for (std::size_t i = 0; body.size() + lines[i % lines.size()].size() + 5 <= kMost; ++i) {
    body += lines[i % lines.size()] + "\r\n";
  }
  return body + "\r\r\n";
}

std::vector<std::string> DistinctDigests() {
  std::vector<std::string> digests;
  char text[33];
  for (unsigned long i = 0; i < kMost / 34 + 1; ++i) {
    std::snprintf(text, sizeof(text), "%016lX%016lX", i * 2654435761ul, i);
    digests.emplace_back(text);
  }
  return digests;
}

struct Measure {
  double seconds = 0;
  std::size_t peakBytes = 0;
  std::size_t added = 0;
};

// Peak and time from the first piece to the digests in KnownDigests; the
// answer's own text (what the socket hands over) is not counted.
Measure Read(const std::string& answer) {
  std::vector<std::string> known(3000, std::string(32, '0'));
  const std::size_t before = allocated;
  peak = allocated;
  const auto start = Clock::now();
  quellix::update::FeedAnswer feed;
  for (std::size_t at = 0; at < answer.size(); at += kPiece) {
    feed.Add(std::string_view(answer).substr(at, kPiece));
  }
  std::size_t added = 0;
  if (auto list = quellix::update::ReadFeedList(feed.Body())) {
    feed.Release();
    added = quellix::update::AddFeedDigests(known, std::move(*list));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return {seconds, peak - before, added};
}

}  // namespace

int main() {
  const std::string empty = Answer("\r\r\n");
  struct Case {
    const char* name;
    std::string answer;
  };
  const std::vector<Case> cases = {
      {"4 MiB of distinct digests", Answer(BodyOf(DistinctDigests()))},
      {"4 MiB of one digest", Answer(BodyOf({std::string(32, 'A')}))},
      {"4 MiB of blank lines", Answer(BodyOf({std::string()}))},
  };
  const Measure baseline = Read(empty);
  std::printf("empty feed: %.6f s, peak %zu bytes\n", baseline.seconds, baseline.peakBytes);
  for (const Case& c : cases) {
    const Measure measure = Read(c.answer);
    std::printf("%s: %zu added, %.6f s (%.0f x the empty feed), peak %.1f MiB (%.0f x)\n", c.name,
                measure.added, measure.seconds, measure.seconds / baseline.seconds,
                measure.peakBytes / 1048576.0,
                static_cast<double>(measure.peakBytes) / static_cast<double>(baseline.peakBytes));
  }
  return 0;
}
