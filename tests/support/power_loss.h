#pragma once
// The states of a folder that a power loss could leave while a change ran,
// rebuilt from the file seam's record of it (engine/seam_recording.h), in the
// way of the ALICE and CrashMonkey tools: only what was flushed is sure to be
// on the disk.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/seam_recording.h"

namespace pff::test {

/// The regular files of one folder: name, bytes.
using FolderState = std::map<std::string, std::vector<uint8_t>>;

/// A folder as it is now, with the inode of each file, so that the record's
/// writes into files that were already there can be followed.
struct FolderSnapshot {
  std::string Folder;  // links resolved
  FolderState Files;
  std::map<std::string, uint64_t> Inodes;
};
FolderSnapshot TakeSnapshot(const std::string& folder);

/// Makes folder hold exactly state (files writable by their owner only).
void WriteFolder(const std::string& folder, const FolderState& state);

/// Calls check with each distinct state the folder may be in after a power
/// loss during ops, start having been durable: after every prefix of ops,
/// - names as far as the last flush of the folder, and each prefix of the
///   later renames, creations and removals (file systems keep their order);
/// - each file's data as far as its last flush, and of its later writes and
///   truncations: none, all, each alone, all but each, each write torn in
///   half, and randomSubsets random subsets with writes torn at 512 bytes.
/// label says which state it is. Returns how many states were checked.
int ForEachPowerLossState(const FolderSnapshot& start, const std::vector<SeamOp>& ops, int randomSubsets,
                          const std::function<void(const FolderState&, const std::string& label)>& check);

}  // namespace pff::test
