#include "support/power_loss.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string_view>

#include "engine/file_system.h"
#include "engine/name_helpers.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace pff::test {

namespace {

constexpr int64_t kSector = 512;

struct Event {
  SeamOp::Kind What;
  int File = -1;  // data, file flushes, creations
  std::string Name, To;
  int64_t Offset = 0;
  const std::vector<uint8_t>* Bytes = nullptr;
};

bool IsData(const Event& e) { return e.What == SeamOp::Kind::Write || e.What == SeamOp::Kind::Truncate; }
bool IsName(const Event& e) {
  return e.What == SeamOp::Kind::Create || e.What == SeamOp::Kind::Rename || e.What == SeamOp::Kind::Unlink;
}

int64_t Sectors(const Event& e) {
  if (e.What != SeamOp::Kind::Write || e.Bytes->empty()) return 0;
  const int64_t end = e.Offset + static_cast<int64_t>(e.Bytes->size());
  return (end - 1) / kSector - e.Offset / kSector + 1;
}

// Which sectors of a pending write reach the disk; empty: all of them.
using Torn = std::vector<bool>;
using Variant = std::map<size_t, Torn>;  // pending data events that reach the disk

void Apply(std::vector<uint8_t>& content, const Event& e, const Torn& torn) {
  if (e.What == SeamOp::Kind::Truncate) {
    content.resize(static_cast<size_t>(e.Offset), 0);
    return;
  }
  const int64_t end = e.Offset + static_cast<int64_t>(e.Bytes->size());
  int64_t sector = 0;
  for (int64_t at = e.Offset; at < end; ++sector) {
    const int64_t to = std::min(end, (at / kSector + 1) * kSector);
    if (torn.empty() || torn[static_cast<size_t>(sector)]) {
      if (static_cast<int64_t>(content.size()) < to) content.resize(static_cast<size_t>(to), 0);
      std::copy(e.Bytes->begin() + (at - e.Offset), e.Bytes->begin() + (to - e.Offset), content.begin() + at);
    }
    at = to;
  }
}

class Replay {
 public:
  Replay(const FolderSnapshot& start, const std::vector<SeamOp>& ops) {
    std::map<uint64_t, int> fileOf;
    for (const auto& [name, inode] : start.Inodes) {
      fileOf[inode] = NewFile(start.Files.at(name));
      startNames_[name] = fileOf[inode];
    }
    auto inFolder = [&](const std::string& path) { return ParentFolder(path) == start.Folder; };
    for (const SeamOp& op : ops) {
      Event e{op.What, -1, GetName(op.Path), GetName(op.To), op.Offset, &op.Bytes};
      switch (op.What) {
        case SeamOp::Kind::Create:
          if (!inFolder(op.Path)) continue;
          e.File = fileOf[op.File] = NewFile({});
          break;
        case SeamOp::Kind::Write:
        case SeamOp::Kind::Truncate:
        case SeamOp::Kind::SyncFile:
          if (!fileOf.count(op.File)) continue;
          e.File = fileOf[op.File];
          break;
        case SeamOp::Kind::Rename:
          if (!inFolder(op.Path) || !inFolder(op.To)) continue;
          break;
        case SeamOp::Kind::Unlink:
          if (!inFolder(op.Path)) continue;
          break;
        case SeamOp::Kind::SyncFolder:
          if (op.Path != start.Folder) continue;
          break;
      }
      events_.push_back(e);
    }
  }

  size_t Size() const { return events_.size(); }

  // The state after the first `prefix` events, k of the unflushed name
  // changes and the chosen unflushed data.
  FolderState Build(size_t prefix, size_t k, const Variant& variant) const {
    std::vector<std::vector<uint8_t>> contents = startContents_;
    const std::vector<size_t> syncs = LastSyncs(prefix);
    size_t namesLeft = k;
    const size_t folderSync = LastFolderSync(prefix);
    std::map<std::string, int> names = startNames_;
    for (size_t i = 0; i < prefix; ++i) {
      const Event& e = events_[i];
      if (IsData(e)) {
        const bool durable =
            syncs[static_cast<size_t>(e.File)] != SIZE_MAX && i < syncs[static_cast<size_t>(e.File)];
        if (durable) Apply(contents[static_cast<size_t>(e.File)], e, {});
        auto chosen = variant.find(i);
        if (!durable && chosen != variant.end())
          Apply(contents[static_cast<size_t>(e.File)], e, chosen->second);
        continue;
      }
      const bool durableName = folderSync != SIZE_MAX && i < folderSync;
      if (IsName(e) && (durableName || namesLeft > 0)) {
        if (!durableName) --namesLeft;
        if (e.What == SeamOp::Kind::Create) names[e.Name] = e.File;
        if (e.What == SeamOp::Kind::Rename && names.count(e.Name)) {
          names[e.To] = names[e.Name];
          names.erase(e.Name);
        }
        if (e.What == SeamOp::Kind::Unlink) names.erase(e.Name);
      }
    }
    FolderState state;
    for (const auto& [name, file] : names) state[name] = contents[static_cast<size_t>(file)];
    return state;
  }

  size_t PendingNames(size_t prefix) const {
    const size_t folderSync = LastFolderSync(prefix);
    size_t n = 0;
    for (size_t i = folderSync == SIZE_MAX ? 0 : folderSync + 1; i < prefix; ++i) n += IsName(events_[i]);
    return n;
  }

  std::vector<size_t> PendingData(size_t prefix) const {
    const std::vector<size_t> syncs = LastSyncs(prefix);
    std::vector<size_t> pending;
    for (size_t i = 0; i < prefix; ++i) {
      const Event& e = events_[i];
      if (!IsData(e)) continue;
      const size_t sync = syncs[static_cast<size_t>(e.File)];
      if (sync == SIZE_MAX || i > sync) pending.push_back(i);
    }
    return pending;
  }

  const Event& At(size_t i) const { return events_[i]; }

 private:
  int NewFile(std::vector<uint8_t> bytes) {
    startContents_.push_back(std::move(bytes));
    return static_cast<int>(startContents_.size() - 1);
  }
  static std::string GetName(const std::string& path) { return GetFileName(path); }
  // Index of each file's last flush before prefix (SIZE_MAX: none).
  std::vector<size_t> LastSyncs(size_t prefix) const {
    std::vector<size_t> syncs(startContents_.size(), SIZE_MAX);
    for (size_t i = 0; i < prefix; ++i)
      if (events_[i].What == SeamOp::Kind::SyncFile) syncs[static_cast<size_t>(events_[i].File)] = i;
    return syncs;
  }
  size_t LastFolderSync(size_t prefix) const {
    size_t last = SIZE_MAX;
    for (size_t i = 0; i < prefix; ++i)
      if (events_[i].What == SeamOp::Kind::SyncFolder) last = i;
    return last;
  }

  std::vector<Event> events_;
  std::vector<std::vector<uint8_t>> startContents_;
  std::map<std::string, int> startNames_;
};

std::vector<std::pair<Variant, std::string>> DataVariants(const Replay& replay,
                                                          const std::vector<size_t>& pending,
                                                          int randomSubsets, std::mt19937& random) {
  std::vector<std::pair<Variant, std::string>> variants;
  Variant all;
  for (size_t i : pending) all[i] = {};
  variants.push_back({{}, "no unflushed data"});
  variants.push_back({all, "all unflushed data"});
  for (size_t i : pending) {
    variants.push_back({{{i, {}}}, "only event " + std::to_string(i)});
    Variant others = all;
    others.erase(i);
    variants.push_back({others, "all but event " + std::to_string(i)});
    const int64_t sectors = Sectors(replay.At(i));
    if (sectors < 2) continue;
    for (int half = 0; half < 2; ++half) {
      Torn torn(static_cast<size_t>(sectors));
      for (int64_t s = 0; s < sectors; ++s) torn[static_cast<size_t>(s)] = (s < sectors / 2) == (half == 0);
      Variant variant = all;
      variant[i] = torn;
      variants.push_back(
          {variant, "event " + std::to_string(i) + (half ? " torn, second half" : " torn, first half")});
    }
  }
  for (int r = 0; r < randomSubsets && !pending.empty(); ++r) {
    Variant variant;
    for (size_t i : pending) {
      if (random() % 2) continue;
      Torn torn;
      const int64_t sectors = Sectors(replay.At(i));
      if (sectors > 1 && random() % 2) {
        torn.resize(static_cast<size_t>(sectors));
        for (auto&& bit : torn) bit = random() % 2;
      }
      variant[i] = torn;
    }
    variants.push_back({variant, "random subset " + std::to_string(r)});
  }
  return variants;
}

size_t Hash(const FolderState& state) {
  size_t h = 0;
  for (const auto& [name, bytes] : state) {
    h = h * 31 + std::hash<std::string>()(name);
    h = h * 31 + std::hash<std::string_view>()(
                     std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  return h;
}

}  // namespace

FolderSnapshot TakeSnapshot(const std::string& folder) {
  FolderSnapshot snapshot;
  snapshot.Folder = ResolvedPath(folder);
  for (const auto& item : fs::directory_iterator(snapshot.Folder)) {
    if (!item.is_regular_file()) continue;
    const std::string name = item.path().filename().string();
    snapshot.Files[name] = ReadBytes(item.path().string());
    snapshot.Inodes[name] = FileIdOf(item.path().string())->Inode;
  }
  return snapshot;
}

void WriteFolder(const std::string& folder, const FolderState& state) {
  for (const auto& item : fs::directory_iterator(folder)) fs::remove_all(item.path());
  for (const auto& [name, bytes] : state) {
    const std::string path = (fs::path(folder) / name).string();
    WriteBytes(path, bytes);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
  }
}

int ForEachPowerLossState(const FolderSnapshot& start, const std::vector<SeamOp>& ops, int randomSubsets,
                          const std::function<void(const FolderState&, const std::string& label)>& check) {
  const Replay replay(start, ops);
  std::set<size_t> seen;
  int checked = 0;
  for (size_t prefix = 0; prefix <= replay.Size(); ++prefix) {
    std::mt19937 random(static_cast<uint32_t>(prefix) * 7919u + 1u);
    const std::vector<size_t> pending = replay.PendingData(prefix);
    const auto variants = DataVariants(replay, pending, randomSubsets, random);
    const size_t names = replay.PendingNames(prefix);
    for (size_t k = 0; k <= names; ++k) {
      // Between the extremes of the names, only the extremes of the data.
      const size_t count = k == 0 || k == names ? variants.size() : 2;
      for (size_t v = 0; v < count; ++v) {
        FolderState state = replay.Build(prefix, k, variants[v].first);
        if (!seen.insert(Hash(state)).second) continue;
        ++checked;
        check(state, "after " + std::to_string(prefix) + " of " + std::to_string(replay.Size()) +
                         " operations, " + std::to_string(k) + " of " + std::to_string(names) +
                         " unflushed name changes, " + variants[v].second);
      }
    }
  }
  return checked;
}

}  // namespace pff::test
