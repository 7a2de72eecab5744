#include "undo_step_file.h"

#include <algorithm>
#include <cstring>

#include "engine/journal_format.h"
#include "engine/little_endian.h"
#include "engine/pff_error.h"

namespace pff {

namespace {

constexpr char kMagic[8] = {'V', 'C', 'U', 'N', 'D', 'O', '0', '1'};
constexpr int64_t kHeadBytes = 64;
constexpr int64_t kRangeHeadBytes = 16;
constexpr int64_t kChunkBytes = int64_t{1} << 20;
// Far beyond any archive, near enough that sums of lengths cannot overflow.
constexpr int64_t kMaxLength = int64_t{1} << 40;

int64_t CheckBytes(const StepCheck& check) { return kRangeHeadBytes + 4 * PieceCount(check.Offset, check.Length); }

// Appends to the file at 64 onwards in large writes, keeping the body's checksum.
class BodyWriter {
 public:
  explicit BodyWriter(BinaryFile& file) : file_(file) {}
  void Bytes(const uint8_t* data, size_t n) {
    crc_ = Crc32(crc_, data, n);
    buffer_.insert(buffer_.end(), data, data + n);
    if (static_cast<int64_t>(buffer_.size()) >= kChunkBytes) Flush();
  }
  void Number(uint64_t value, int bytes) {
    uint8_t raw[8];
    PutLittleEndian(raw, value, bytes);
    Bytes(raw, static_cast<size_t>(bytes));
  }
  // length bytes from read, a chunk at a time.
  void Copy(const ReadArchiveBytes& read, int64_t offset, int64_t length) {
    std::vector<uint8_t> chunk;
    for (int64_t at = offset; at < offset + length;) {
      const int64_t end = RecordEnd(at, offset + length);
      chunk.resize(static_cast<size_t>(end - at));
      read(at, end - at, chunk.data());
      Bytes(chunk.data(), chunk.size());
      at = end;
    }
  }
  void Flush() {
    file_.WriteAt(at_, buffer_.data(), buffer_.size());
    at_ += static_cast<int64_t>(buffer_.size());
    buffer_.clear();
  }
  uint32_t Crc() const { return crc_; }

 private:
  BinaryFile& file_;
  std::vector<uint8_t> buffer_;
  int64_t at_ = kHeadBytes;
  uint32_t crc_ = 0;
};

// Reads the body in order, keeping its checksum, never past the file's end.
class BodyReader {
 public:
  BodyReader(BinaryFile& file, int64_t end) : file_(file), end_(end) {}
  bool Has(int64_t n) const { return n >= 0 && n <= end_ - at_; }
  bool Bytes(uint8_t* out, int64_t n) {
    if (!Has(n)) return false;
    file_.ReadExactAt(at_, out, static_cast<size_t>(n));
    crc_ = Crc32(crc_, out, static_cast<size_t>(n));
    at_ += n;
    return true;
  }
  bool Number(int64_t& value, int bytes) {
    uint8_t raw[8];
    if (!Bytes(raw, bytes)) return false;
    value = static_cast<int64_t>(GetLittleEndian(raw, bytes));
    return true;
  }
  // Passes over n bytes, which count in the checksum all the same.
  bool Skip(int64_t n) {
    if (!Has(n)) return false;
    std::vector<uint8_t> chunk;
    for (int64_t left = n; left > 0;) {
      chunk.resize(static_cast<size_t>(std::min(left, kChunkBytes)));
      Bytes(chunk.data(), static_cast<int64_t>(chunk.size()));
      left -= static_cast<int64_t>(chunk.size());
    }
    return true;
  }
  int64_t At() const { return at_; }
  uint32_t Crc() const { return crc_; }

 private:
  BinaryFile& file_;
  int64_t end_;
  int64_t at_ = kHeadBytes;
  uint32_t crc_ = 0;
};

bool ReadChecks(BodyReader& in, int64_t count, int64_t stateLength, std::vector<StepCheck>& checks) {
  for (int64_t i = 0; i < count; ++i) {
    StepCheck check;
    if (!in.Number(check.Offset, 8) || !in.Number(check.Length, 8)) return false;
    if (check.Offset < 0 || check.Length < 1 || check.Length > kChunkBytes || check.Offset > stateLength - check.Length)
      return false;
    const int64_t pieces = PieceCount(check.Offset, check.Length);
    std::vector<uint8_t> raw(static_cast<size_t>(4 * pieces));
    if (!in.Bytes(raw.data(), 4 * pieces)) return false;
    for (int64_t p = 0; p < pieces; ++p) check.Sums.push_back(static_cast<uint32_t>(GetLittleEndian(raw.data() + 4 * p, 4)));
    checks.push_back(std::move(check));
  }
  return true;
}

}  // namespace

int64_t StepFileBytes(const StepContents& contents) {
  int64_t bytes = kHeadBytes;
  for (const auto* checks : {&contents.Before, &contents.After})
    for (const StepCheck& check : *checks) bytes += CheckBytes(check);
  for (const auto& [offset, length] : contents.Runs)
    bytes += kRangeHeadBytes + length * (contents.Head.Redoable ? 2 : 1);
  if (contents.Head.Redoable) bytes += contents.Head.NewLength - contents.Head.OldLength;
  return bytes;
}

void WriteStepFile(BinaryFile& file, const StepContents& contents) {
  const StepHead& head = contents.Head;
  BodyWriter body(file);
  for (const auto* checks : {&contents.Before, &contents.After}) {
    for (const StepCheck& check : *checks) {
      body.Number(static_cast<uint64_t>(check.Offset), 8);
      body.Number(static_cast<uint64_t>(check.Length), 8);
      for (uint32_t sum : check.Sums) body.Number(sum, 4);
    }
  }
  for (const auto& [offset, length] : contents.Runs) {
    body.Number(static_cast<uint64_t>(offset), 8);
    body.Number(static_cast<uint64_t>(length), 8);
    body.Copy(contents.Old, offset, length);
    if (head.Redoable) body.Copy(contents.New, offset, length);
  }
  if (head.Redoable) body.Copy(contents.New, head.OldLength, head.NewLength - head.OldLength);
  body.Flush();

  uint8_t raw[kHeadBytes];
  std::memcpy(raw, kMagic, 8);
  PutLittleEndian(raw + 8, static_cast<uint32_t>(head.Label.Kind), 4);
  PutLittleEndian(raw + 12, static_cast<uint32_t>(head.Label.Count), 4);
  PutLittleEndian(raw + 16, static_cast<uint64_t>(head.Time), 8);
  PutLittleEndian(raw + 24, static_cast<uint64_t>(head.OldLength), 8);
  PutLittleEndian(raw + 32, static_cast<uint64_t>(head.NewLength), 8);
  PutLittleEndian(raw + 40, head.Redoable ? 1 : 0, 4);
  PutLittleEndian(raw + 44, contents.Before.size(), 4);
  PutLittleEndian(raw + 48, contents.After.size(), 4);
  PutLittleEndian(raw + 52, contents.Runs.size(), 4);
  PutLittleEndian(raw + 56, body.Crc(), 4);
  PutLittleEndian(raw + 60, Crc32(0, raw, 60), 4);
  file.WriteAt(0, raw, kHeadBytes);
}

namespace {

struct RawHead {
  StepHead Head;
  int64_t Before = 0, After = 0, Runs = 0;
  uint32_t BodyCrc = 0;
};

std::optional<RawHead> DecodeHead(BinaryFile& file) {
  uint8_t raw[kHeadBytes];
  if (file.ReadAt(0, raw, kHeadBytes) != kHeadBytes) return std::nullopt;
  if (std::memcmp(raw, kMagic, 8) != 0 || GetLittleEndian(raw + 60, 4) != Crc32(0, raw, 60)) return std::nullopt;
  RawHead h;
  const uint64_t kind = GetLittleEndian(raw + 8, 4), count = GetLittleEndian(raw + 12, 4);
  if (kind < 1 || kind > 5 || count < 1 || count > 1000000) return std::nullopt;
  h.Head.Label = {static_cast<ChangeKind>(kind), static_cast<int>(count)};
  h.Head.Time = static_cast<int64_t>(GetLittleEndian(raw + 16, 8));
  h.Head.OldLength = static_cast<int64_t>(GetLittleEndian(raw + 24, 8));
  h.Head.NewLength = static_cast<int64_t>(GetLittleEndian(raw + 32, 8));
  const uint64_t flags = GetLittleEndian(raw + 40, 4);
  if (h.Head.OldLength < 0 || h.Head.NewLength < h.Head.OldLength || h.Head.NewLength > kMaxLength || flags > 1)
    return std::nullopt;
  h.Head.Redoable = flags == 1;
  h.Before = static_cast<int64_t>(GetLittleEndian(raw + 44, 4));
  h.After = static_cast<int64_t>(GetLittleEndian(raw + 48, 4));
  h.Runs = static_cast<int64_t>(GetLittleEndian(raw + 52, 4));
  h.BodyCrc = static_cast<uint32_t>(GetLittleEndian(raw + 56, 4));
  return h;
}

}  // namespace

std::optional<StepHead> ReadStepHead(BinaryFile& file) {
  const std::optional<RawHead> raw = DecodeHead(file);
  if (!raw) return std::nullopt;
  return raw->Head;
}

std::optional<LoadedStep> LoadStep(BinaryFile file) {
  const std::optional<RawHead> raw = DecodeHead(file);
  if (!raw) return std::nullopt;
  LoadedStep step;
  step.Head = raw->Head;
  const int64_t end = file.Length();
  BodyReader in(file, end);
  // Every range takes at least its 16-byte head: counts the file cannot hold are refused before any use.
  if (!in.Has(kRangeHeadBytes * (raw->Before + raw->After + raw->Runs))) return std::nullopt;
  if (!ReadChecks(in, raw->Before, step.Head.OldLength, step.Before) ||
      !ReadChecks(in, raw->After, step.Head.NewLength, step.After))
    return std::nullopt;
  int64_t previousEnd = 0;
  for (int64_t i = 0; i < raw->Runs; ++i) {
    StepRun run;
    if (!in.Number(run.Offset, 8) || !in.Number(run.Length, 8)) return std::nullopt;
    if (run.Offset < previousEnd || run.Length < 1 || run.Offset > step.Head.OldLength - run.Length)
      return std::nullopt;
    previousEnd = run.Offset + run.Length;
    run.OldAt = in.At();
    if (!in.Skip(run.Length)) return std::nullopt;
    if (step.Head.Redoable) {
      run.NewAt = in.At();
      if (!in.Skip(run.Length)) return std::nullopt;
    }
    step.Runs.push_back(run);
  }
  if (step.Head.Redoable) {
    step.AppendedAt = in.At();
    if (!in.Skip(step.Head.NewLength - step.Head.OldLength)) return std::nullopt;
  }
  if (in.At() != end || in.Crc() != raw->BodyCrc) return std::nullopt;
  step.File.emplace(std::move(file));
  return step;
}

}  // namespace pff
