#pragma once
// Where a new entry goes in an archive's directory: the name match that it
// replaces, the dead slot that it may re-use, and the new header and entries.
// Pure functions over the in-memory record; nothing here touches a file.
//
// One rule about where data may lie, shared with the archive check: every
// entry of a byte or more, live or dead, keeps to the room between the header
// and the directory and shares no byte with another entry. Dead space counts
// because it is room that a later addition re-uses. An entry of 0 bytes
// holds nothing and lies nowhere. Only a dead flag of exactly 1 marks dead
// space; any other value is a live entry.

#include <cstdint>
#include <string>
#include <vector>

#include "editing/entry_index.h"
#include "engine/pff_archive.h"

namespace pff {

/// Index (1-based) of the first entry whose 16 name bytes equal name without
/// regard to case, dead entries included; 0 when there is none.
int FindEntryByName(const std::vector<PffEntry>& entries, const EntryName& name);

/// Index (1-based) of the first dead entry (DeadFlag exactly 1) of at least
/// size bytes, in directory order; 0 when there is none.
int FindDeadSlot(const std::vector<PffEntry>& entries, int32_t size);

/// Throws PffError, naming the entry, when bytes [from, to) hold data of a
/// live entry other than entry `except` (1-based; 0 for none): `what` says what
/// was to be written there.
void CheckNoLiveDataIn(const std::vector<PffEntry>& entries, int64_t from, int64_t to, int except,
                       const std::string& what);

/// Places entry: into a dead slot of the same size (in place), into the tail
/// of a larger dead slot (appended), or where the directory stood (appended,
/// the directory moving up). Returns the index of the entry that now
/// describes the data. Throws PffError, leaving header and entries as they
/// were, when the directory would pass 32,767 entries or the archive would
/// pass 2^31 - 1 bytes, when the layout cannot be written (CheckWritableLayout),
/// when the chosen dead space lies outside [20, DirOffset), or when the new
/// data or the directory would break the rule above. With an index (built
/// from these entries), the searches take no walk over the directory, and
/// the index follows every change made.
int PlaceEntry(PffHeader& header, std::vector<PffEntry>& entries, const PffEntry& entry, bool reuseDeadSpaces,
               EntryIndex* index = nullptr);

}  // namespace pff
