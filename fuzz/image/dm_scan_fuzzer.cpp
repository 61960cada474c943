// Any bytes as a new-format image, through the steps of Pre-Parse that read
// it: the header search, the block table built from the headers, the grid
// rows and the software version. An image the scan does not take goes on as
// a legacy image, as in Pre-Parse.
//
// Pre-Parse keeps an image in mapped memory, which AddressSanitizer does not
// guard, so the bytes after the image up to the end of its page are poisoned
// while the scan reads it; the header search also runs once more over the
// input as libFuzzer holds it, on the heap with exact bounds.
#include <sanitizer/asan_interface.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "image/dm_header.h"
#include "image/flash_image.h"
#include "image/header_scan.h"
#include "image/image_buffer.h"
#include "image_checks.h"
#include "support/messages.h"

namespace {

using namespace nuv::image;
using fuzz::Check;

// Every header position, found byte by byte. Left out of the coverage
// instrumentation: its comparisons would only teach the fuzzer what the
// search itself teaches it, at a cost per byte.
__attribute__((no_sanitize("coverage"))) std::vector<size_t> EveryHeader(
    std::span<const uint8_t> bytes) {
  std::vector<size_t> found;
  for (size_t pos = 0; pos + kDmHeaderFixedSize <= bytes.size(); ++pos) {
    size_t k = 0;
    while (k < kDmMagic.size() && bytes[pos + k] == kDmMagic[k])
      ++k;
    if (k == kDmMagic.size() && bytes[pos + kDmMarkerOffset] == kDmMarker)
      found.push_back(pos);
  }
  return found;
}

// An ImageBuffer holding the input, the rest of its last page poisoned for
// as long as this object lives. Declared before the FlashImage that shares
// the buffer, so the poison is lifted only after every user is gone.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(std::span<const uint8_t> bytes)
      : buffer_(ImageBuffer::Allocate(bytes.size())) {
    Check(buffer_ != nullptr);
    std::copy(bytes.begin(), bytes.end(), buffer_->bytes().begin());
    // Small buffers start on a page of their own.
    const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t used = bytes.size() % page;
    tail_ = bytes.empty() ? page : used == 0 ? 0 : page - used;
    end_ = buffer_->bytes().data() + bytes.size();
    ASAN_POISON_MEMORY_REGION(end_, tail_);
  }
  ~GuardedBuffer() { ASAN_UNPOISON_MEMORY_REGION(end_, tail_); }
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  const std::shared_ptr<ImageBuffer>& buffer() const { return buffer_; }

 private:
  std::shared_ptr<ImageBuffer> buffer_;
  uint8_t* end_ = nullptr;
  size_t tail_ = 0;
};

size_t BlockCounts(std::span<const uint8_t> bytes, const std::vector<size_t>& headers) {
  size_t total = 0;
  for (const size_t pos : headers)
    total += bytes[pos + kDmBlockCountOffset];
  return total;
}

// A refused scan leaves no table; a damaged header and too many headers say why.
void CheckRefused(FlashImage& image, ScanResult why, const nuv::RecordedMessages& messages,
                  std::span<const uint8_t> input, const std::vector<size_t>& headers) {
  Check(image.table.records.empty() && image.snapshot.records.empty());
  switch (why) {
    case ScanResult::kNoHeader:
      Check(headers.empty() && messages.shown().empty());
      break;
    case ScanResult::kTooManyBlocks:
      Check(BlockCounts(input, headers) > kMaxBlocks && messages.shown().empty());
      break;
    case ScanResult::kTooManyHeaders:
      // Refused with its own message, not read as legacy.
      Check(headers.size() > kMaxBanks && messages.shown().size() == 1);
      Check(messages.shown()[0].first == nuv::BoxCaption::Error);
      return;
    case ScanResult::kDamaged:
      Check(messages.shown().size() == 1);
      Check(messages.shown()[0].first == nuv::BoxCaption::Error);
      Check(messages.shown()[0].second.starts_with("Wrong binary file, "));
      return;
    case ScanResult::kScanned:
      Check(false);
  }
  // Pre-Parse reads such an image as a legacy one.
  fuzz::CheckLegacy(image.bytes());
}

// Every entry of every header, in file order, is one record whose data is
// the image's own bytes where the entry points, wholly inside the image.
void CheckTable(FlashImage& image, std::span<const uint8_t> input,
                const std::vector<size_t>& headers) {
  const std::vector<BlockRecord>& records = image.table.records;
  Check(records.size() <= kMaxBlocks && image.table.total() == records.size());
  Check(headers.size() <= kMaxBanks);
  Check(image.snapshot.records.size() == records.size());
  Check(image.sdram_size == fuzz::Word(input, headers.back() + kDmSdramSizeOffset));
  const std::span<const uint8_t> bytes = image.bytes();
  size_t next = 0;
  for (size_t bank = 0; bank < headers.size(); ++bank) {
    const size_t pos = headers[bank];
    const size_t count = input[pos + kDmBlockCountOffset];
    for (size_t k = 0; k < count; ++k, ++next) {
      Check(next < records.size());
      const BlockRecord& record = records[next];
      Check(record.bank == bank + 1 && record.header_offset == pos && record.index_in_bank == k);
      const size_t at = pos + kDmEntriesOffset + k * kBlockEntrySize;
      Check(at + kBlockEntrySize <= input.size());
      Check(std::equal(record.entry.bytes().begin(), record.entry.bytes().end(),
                       input.begin() + static_cast<ptrdiff_t>(at)));
      Check(image.snapshot.records[next].entry == record.entry);
      const uint64_t start = uint64_t{pos} + record.entry.offset();
      const std::span<const uint8_t> data = record.data.bytes();
      Check(data.size() == record.entry.size());
      if (!data.empty()) {
        Check(start + data.size() <= input.size());
        Check(data.data() == bytes.data() + start);
      }
      fuzz::CheckRowAndVersion(bytes, record.entry, start);
    }
  }
  Check(next == records.size());
}

// A record's data changed by an edit is its own: the image and the snapshot
// keep their bytes.
void CheckCopyOnWrite(FlashImage& image, std::span<const uint8_t> input) {
  for (size_t i = 0; i < image.table.records.size(); ++i) {
    BlockRecord& record = image.table.records[i];
    if (record.data.size() == 0)
      continue;
    const auto start = static_cast<size_t>(uint64_t{record.header_offset} + record.entry.offset());
    record.data.mutable_bytes()[0] ^= 0xFF;
    Check(image.bytes()[start] == input[start]);
    Check(image.snapshot.records[i].data.bytes()[0] == input[start]);
    Check(record.data.bytes()[0] == (input[start] ^ 0xFF));
    return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  const std::vector<size_t> headers = FindDmHeaders(input);
  Check(headers == EveryHeader(input));
  if (!headers.empty()) {
    // Asked for fewer, it gives the first ones.
    const size_t few = (headers.size() + 1) / 2;
    const std::vector<size_t> first = FindDmHeaders(input, few);
    Check(std::equal(first.begin(), first.end(), headers.begin(), headers.begin() + few));
  }

  GuardedBuffer guard(input);
  FlashImage image;
  image.image = guard.buffer();
  nuv::RecordedMessages messages;
  const ScanResult scanned = ScanDmHeaders(image, messages);
  if (scanned != ScanResult::kScanned) {
    CheckRefused(image, scanned, messages, input, headers);
    return 0;
  }
  Check(messages.shown().empty());
  CheckTable(image, input, headers);
  CheckCopyOnWrite(image, input);
  image.Release();
  Check(image.bytes().empty() && image.table.total() == 0);
  return 0;
}
