// The index a many-file addition keeps must place every file exactly as the
// walks over the directory do: the same name matches, the same first-fit slot,
// the same refusals. Long random runs of replacements and additions compare
// the two, from sound and from damaged directories.

#include "editing/entry_index.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "editing/placement.h"
#include "engine/pff_error.h"

namespace pff {
namespace {

const char* const kNames[] = {"a.txt", "A.TXT", "b.pcx", "\xe9t\xe9.wav", "\xc9T\xc9.WAV", "<dead space>",
                              "c",     "C",     "d.dat", "e.dat",         "f.dat",         "g.dat"};

struct Archive {
  PffHeader header;
  std::vector<PffEntry> entries;
};

// Entries packed from 20 on, a third dead; with damage, some regions overlap or pass the directory.
Archive RandomArchive(std::mt19937& random, bool damaged) {
  Archive a;
  a.header.EntrySize = 36;
  a.header.DirOffset = 20;
  const int count = static_cast<int>(random() % 40);
  for (int i = 0; i < count; ++i) {
    PffEntry e;
    e.DataSize = static_cast<int32_t>(random() % 5 == 0 ? 0 : random() % 300);
    e.DataOffset = a.header.DirOffset;
    if (damaged && random() % 6 == 0) e.DataOffset -= static_cast<int32_t>(random() % 100);
    a.header.DirOffset = std::max(a.header.DirOffset, e.DataOffset + e.DataSize);
    e.DeadFlag = random() % 3 == 0 ? 1 : (damaged && random() % 8 == 0 ? 7 : 0);
    e.Name = MakeEntryName(kNames[random() % std::size(kNames)]);
    a.entries.push_back(e);
  }
  if (damaged && !a.entries.empty() && random() % 3 == 0)
    a.entries.back().DataSize += 500;  // past the directory
  a.header.EntryCount = count;
  return a;
}

// The outcome of one placement: the record afterwards, or the refusal.
std::string Place(Archive& a, const PffEntry& file, bool reuse, EntryIndex* index) {
  const int match = index ? index->Names().Find(file.Name) : FindEntryByName(a.entries, file.Name);
  std::string outcome = "match " + std::to_string(match);
  if (match != 0) {
    const PffEntry before = a.entries[static_cast<size_t>(match - 1)];
    MakeDead(a.entries[static_cast<size_t>(match - 1)]);
    if (index) index->Update(match, before, a.entries[static_cast<size_t>(match - 1)]);
  }
  try {
    outcome += " placed " + std::to_string(PlaceEntry(a.header, a.entries, file, reuse, index));
  } catch (const PffError& e) {
    outcome += std::string(" refused: ") + e.what();
  }
  outcome += " dir " + std::to_string(a.header.DirOffset) + " count " + std::to_string(a.header.EntryCount);
  for (const PffEntry& e : a.entries) {
    outcome += " " + std::to_string(e.DeadFlag) + "@" + std::to_string(e.DataOffset) + "+" +
               std::to_string(e.DataSize) + ":" + NameBytes(e.Name).c_str();
  }
  return outcome;
}

TEST(EntryIndex, PlacesEveryFileAsTheWalksDo) {
  std::mt19937 random(20261207);
  for (int run = 0; run < 300; ++run) {
    const bool damaged = run % 3 == 2;
    Archive walked = RandomArchive(random, damaged);
    Archive indexed = walked;
    EntryIndex index(indexed.entries);
    for (int step = 0; step < 60; ++step) {
      SCOPED_TRACE("run " + std::to_string(run) + " step " + std::to_string(step));
      PffEntry file;
      file.DataSize = static_cast<int32_t>(random() % 4 == 0 ? 0 : random() % 320);
      file.FileTime = step;
      file.Name = MakeEntryName(kNames[random() % std::size(kNames)]);
      const bool reuse = random() % 4 != 0;
      const std::string expected = Place(walked, file, reuse, nullptr);
      ASSERT_EQ(Place(indexed, file, reuse, &index), expected);
      // A refusal leaves the match dead in both; the searches must still agree afterwards.
      for (const char* name : kNames)
        ASSERT_EQ(index.Names().Find(MakeEntryName(name)),
                  FindEntryByName(walked.entries, MakeEntryName(name)));
      for (int32_t size : {0, 1, 150, 299, 5000})
        ASSERT_EQ(index.Slots().FirstFit(size), FindDeadSlot(walked.entries, size)) << size;
    }
  }
}

}  // namespace
}  // namespace pff
