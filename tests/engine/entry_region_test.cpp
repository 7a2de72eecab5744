// Where entry data may lie: one rule for extraction, previews, compaction,
// re-use of dead space and the check.
#include "engine/entry_region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/pff_error.h"

namespace pff {
namespace {

TEST(EntryRegion, EachEdgeOfTheRoomForData) {
  // Two 36-byte records at 100 (records end at 172) in a file of 300 bytes.
  const PffHeader twoRecords{20, {'P', 'F', 'F', '3'}, 2, 36, 100};
  // No records at 100; no records, and a directory offset behind the end of the file.
  const PffHeader noRecords{20, {'P', 'F', 'F', '3'}, 0, 36, 100};
  const PffHeader farDirectory{20, {'P', 'F', 'F', '3'}, 0, 36, 1000};
  constexpr int32_t kMax = INT32_MAX;
  const struct {
    const PffHeader& header;
    int32_t offset, size;
    RegionFault fault;
  } cases[] = {
      {twoRecords, 20, 80, RegionFault::None},  // from the header's end to the directory offset
      {twoRecords, 19, 1, RegionFault::InHeader},
      {twoRecords, 20, 81, RegionFault::OverDirectory},
      {twoRecords, 171, 1, RegionFault::OverDirectory},  // the records' last byte
      {twoRecords, 172, 1, RegionFault::BehindDirectory},
      {twoRecords, 299, 1, RegionFault::BehindDirectory},
      {twoRecords, 299, 2, RegionFault::PastEnd},
      {noRecords, 100, 1, RegionFault::BehindDirectory},  // no records to overlap
      {farDirectory, 250, 50, RegionFault::None},         // ends with the file
      {farDirectory, 250, 51, RegionFault::PastEnd},
      {farDirectory, 20, kMax, RegionFault::PastEnd},  // 32-bit sums would wrap below 0
      {farDirectory, kMax, kMax, RegionFault::PastEnd},
      {farDirectory, -1, 1, RegionFault::Negative},
      {farDirectory, 20, -1, RegionFault::Negative},
      // Empty entries lie nowhere, but not past the end of the file.
      {twoRecords, 0, 0, RegionFault::None},
      {twoRecords, 150, 0, RegionFault::None},
      {twoRecords, 300, 0, RegionFault::None},
      {twoRecords, 301, 0, RegionFault::PastEnd},
      {twoRecords, -1, 0, RegionFault::Negative},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + " " + std::to_string(c.size));
    PffEntry entry;
    entry.DataOffset = c.offset;
    entry.DataSize = c.size;
    EXPECT_EQ(EntryRegionFault(entry, c.header, 300), c.fault);
    // Callers that only read need the data inside the file; the rest need all of the rule.
    const bool unreadable = c.fault == RegionFault::Negative || c.fault == RegionFault::PastEnd;
    if (c.fault == RegionFault::None)
      EXPECT_NO_THROW(RequireEntryRegion(entry, c.header, 300));
    else
      EXPECT_THROW(RequireEntryRegion(entry, c.header, 300), PffError);
    if (unreadable)
      EXPECT_THROW(RequireEntryRegion(entry, c.header, 300, true), PffError);
    else
      EXPECT_NO_THROW(RequireEntryRegion(entry, c.header, 300, true));
  }
}

TEST(EntryRegion, TheRefusalNamesTheEntryAndWhereItsDataLies) {
  const PffHeader header{20, {'P', 'F', 'F', '3'}, 1, 36, 40};
  PffEntry entry;
  entry.Name = MakeEntryName("\xE9t\xE9.txt");
  entry.DataOffset = 30;
  entry.DataSize = 5;
  try {
    RequireEntryRegion(entry, header, 32);
    FAIL() << "not refused";
  } catch (const PffError& e) {
    EXPECT_STREQ(e.what(),
                 "The data of \"\xC3\xA9t\xC3\xA9.txt\" (5 bytes at offset 30) runs past the end of the file "
                 "of 32 bytes.");
  }
}

}  // namespace
}  // namespace pff
