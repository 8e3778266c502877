#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "db/data_packet_reader.h"
#include "db/data_packet_writer.h"
#include "db/instant.h"
#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

using Bytes = std::vector<uint8_t>;

// Little pieces for writing packets by hand.
Bytes U16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
Bytes U32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
Bytes I64(int64_t value) {
  Bytes out;
  for (int i = 0; i < 8; ++i)
    out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
  return out;
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}
Bytes Header(uint16_t columns, uint16_t flags = 0, uint16_t version = 1) {
  return Cat({Text("TVDP"), U16(version), U16(flags), U16(columns)});
}
Bytes Column(const std::string& name, uint8_t type, uint8_t attributes) {
  return Cat({U16(static_cast<uint16_t>(name.size())), Text(name), Bytes{type, attributes}});
}

std::vector<ColumnValues> ReadAll(const DataPacketReader& reader) {
  return reader.ReadValues(std::vector<bool>(reader.Columns().size(), true));
}

std::string PacketError(const Bytes& packet) {
  try {
    DataPacketReader reader(packet);
    ReadAll(reader);
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(accepted)";
}

TEST(DataPacket, RoundTripsEveryTypeWithNullsAndLimits) {
  DataPacketWriter writer;
  writer.SetReadOnly(true).SetDeletesAllowed(false);
  writer.AddColumn("SMALL", ftSmallint)
      .AddColumn("INT", ftInteger, false)
      .AddColumn("AUTO", ftAutoInc, false)
      .AddColumn("DAY", ftDate)
      .AddColumn("CLOCK", ftTime)
      .AddColumn("Момент", ftDateTime);
  // Nine rows: the null bitmap spans two bytes.
  writer.AddRow({-32768, INT32_MIN, 1, -693593.0, 0.0, -1.25});
  writer.AddRow({32767, INT32_MAX, 2, 2958465.0, 86399999.0 / 86400000.0, 2958465.999});
  writer.AddRow({std::nullopt, 0, 3, std::nullopt, std::nullopt, std::nullopt});
  for (int i = 0; i < 5; ++i) writer.AddRow({i, i, 4 + i, 45291, 0.5, 45291.75});
  writer.AddRow({std::nullopt, 7, 9, 0, std::nullopt, 0.0});

  const Bytes packet = writer.Encode();
  DataPacketReader reader(packet);
  EXPECT_TRUE(reader.ReadOnly());
  EXPECT_FALSE(reader.DeletesAllowed());
  ASSERT_EQ(reader.Columns().size(), 6u);
  EXPECT_EQ(reader.Columns()[5].name, "Момент");
  EXPECT_EQ(reader.Columns()[3].type, ftDate);
  EXPECT_TRUE(reader.Columns()[0].nullable);
  EXPECT_FALSE(reader.Columns()[1].nullable);
  EXPECT_EQ(reader.FindColumn("момент"), -1) << "only A..Z fold";
  EXPECT_EQ(reader.FindColumn("clock"), 4);
  ASSERT_EQ(reader.RowCount(), 9u);

  const std::vector<ColumnValues> v = ReadAll(reader);
  EXPECT_EQ(v[0].integers[0], -32768);
  EXPECT_EQ(v[0].integers[1], 32767);
  EXPECT_TRUE(v[0].IsNull(2));
  EXPECT_FALSE(v[0].IsNull(3));
  EXPECT_TRUE(v[0].IsNull(8));
  EXPECT_EQ(v[1].integers[0], INT32_MIN);
  EXPECT_EQ(v[1].integers[1], INT32_MAX);
  EXPECT_FALSE(v[1].IsNull(2));
  EXPECT_EQ(v[2].integers[8], 9);
  EXPECT_EQ(InstantToDateTime(v[3].instants[0]), -693593.0);
  EXPECT_EQ(InstantToDateTime(v[3].instants[1]), 2958465.0);
  EXPECT_TRUE(v[3].IsNull(2));
  EXPECT_EQ(v[4].instants[1], 86399999);
  EXPECT_EQ(InstantToDateTime(v[4].instants[3]), 0.5);
  EXPECT_EQ(InstantToDateTime(v[5].instants[0]), -1.25);
  EXPECT_EQ(v[5].instants[1], 2958465 * 86400000LL + 86313600);
  EXPECT_EQ(InstantToDateTime(v[5].instants[4]), 45291.75);
  EXPECT_TRUE(v[5].IsNull(2));
  EXPECT_FALSE(v[5].IsNull(8));
  EXPECT_EQ(v[5].instants[8], 0);
}

TEST(DataPacket, NullsSortFirstAndInstantsKeepDayOrderBeforeDayZero) {
  DataPacketWriter writer;
  writer.AddColumn("N", ftInteger).AddColumn("T", ftDateTime);
  writer.AddRow({INT32_MIN, -1.25});    // 29 December 1899, 06:00
  writer.AddRow({std::nullopt, -1.0});  // 29 December 1899, 00:00
  writer.AddRow({0, std::nullopt});
  const Bytes packet = writer.Encode();
  const auto v = ReadAll(DataPacketReader(packet));
  EXPECT_LT(v[0].SortKey(1), v[0].SortKey(0));
  EXPECT_LT(v[1].SortKey(2), v[1].SortKey(1));
  EXPECT_LT(v[1].SortKey(1), v[1].SortKey(0));
}

TEST(DataPacket, ReadsOnlyTheColumnsAskedForButChecksThemAll) {
  DataPacketWriter writer;
  writer.AddColumn("A", ftInteger).AddColumn("B", ftTime);
  writer.AddRow({1, 0.25});
  Bytes packet = writer.Encode();
  const auto v = DataPacketReader(packet).ReadValues({true, false});
  EXPECT_EQ(v[0].integers.size(), 1u);
  EXPECT_TRUE(v[1].instants.empty());
  // The unread time column still has its value checked.
  const Bytes bad_time = U32(86400000);
  std::copy(bad_time.begin(), bad_time.end(), packet.end() - 4);
  EXPECT_EQ(PacketError(packet), "Invalid data packet");
}

TEST(DataPacket, EncodesTheDocumentedExample) {
  // The annotated example of docs/data-packet.md, byte for byte.
  DataPacketWriter writer;
  writer.SetDeletesAllowed(false);
  writer.AddColumn("ID", ftAutoInc, false).AddColumn("EXPORT_DATE", ftDateTime);
  writer.AddRow({1, 45291.5});  // 31 December 2023, 12:00
  writer.AddRow({2, std::nullopt});
  const Bytes expected = {0x54, 0x56, 0x44, 0x50, 0x01, 0x00, 0x02, 0x00, 0x02, 0x00,  // header
                          0x02, 0x00, 0x49, 0x44, 0x03, 0x00,                          // ID
                          0x0B, 0x00, 0x45, 0x58, 0x50, 0x4F, 0x52, 0x54, 0x5F, 0x44,
                          0x41, 0x54, 0x45, 0x06, 0x01,                    // EXPORT_DATE
                          0x02, 0x00, 0x00, 0x00,                          // rows
                          0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // ID values
                          0x02,                                            // EXPORT_DATE nulls
                          0x00, 0xA2, 0x09, 0x1C, 0x8F, 0x03, 0x00, 0x00,  // 45291.5
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(writer.Encode(), expected);
}

TEST(DataPacket, RefusesMalformedPacketsWithOneOfTwoErrors) {
  const Bytes one_row = Cat({Header(1), Column("D", 6, 1), U32(1), Bytes{0}, I64(0)});
  ASSERT_EQ(PacketError(one_row), "(accepted)");
  struct Case {
    const char* what;
    Bytes packet;
    const char* error;
  };
  const char* invalid = "Invalid data packet";
  const Case cases[] = {
      {"no bytes", {}, "Missing data provider or data packet"},
      {"wrong magic", Cat({Text("TVDQ"), Bytes(one_row.begin() + 4, one_row.end())}), invalid},
      {"other version", Cat({Header(1, 0, 2), Column("D", 6, 1), U32(0)}), invalid},
      {"unknown flag", Cat({Header(1, 4), Column("D", 6, 1), U32(0)}), invalid},
      {"no columns", Cat({Header(0), U32(0)}), invalid},
      {"too many columns", Cat({Header(1025), U32(0)}), invalid},
      {"more columns than bytes", Cat({Header(1000), Column("D", 6, 1), U32(0)}), invalid},
      {"empty name", Cat({Header(1), Column("", 6, 1), U32(0)}), invalid},
      {"name too long", Cat({Header(1), Column(std::string(256, 'N'), 6, 1), U32(0)}), invalid},
      {"name past the end", Cat({Header(1), U16(200), Text("D")}), invalid},
      {"name not UTF-8", Cat({Header(1), Column("\xC0\x80", 6, 1), U32(0)}), invalid},
      {"duplicate name", Cat({Header(2), Column("Id", 2, 0), Column("ID", 2, 0), U32(0)}), invalid},
      {"type 0", Cat({Header(1), Column("D", 0, 1), U32(0)}), invalid},
      {"type 7", Cat({Header(1), Column("D", 7, 1), U32(0)}), invalid},
      {"unknown attribute", Cat({Header(1), Column("D", 6, 3), U32(0)}), invalid},
      {"row count above the limit", Cat({Header(1), Column("D", 6, 0), U32(0x80000000u)}), invalid},
      {"rows missing", Cat({Header(1), Column("D", 6, 1), U32(2), Bytes{0}, I64(0)}), invalid},
      {"huge row count", Cat({Header(1), Column("D", 6, 1), U32(0x7FFFFFFF), Bytes{0}}), invalid},
      {"trailing byte", Cat({one_row, Bytes{0}}), invalid},
      {"bit after the last row", Cat({Header(1), Column("D", 6, 1), U32(1), Bytes{2}, I64(0)}),
       invalid},
      {"date-time before year 1",
       Cat({Header(1), Column("D", 6, 0), U32(1), I64(-693594LL * 86400000)}), invalid},
      {"date-time after year 9999",
       Cat({Header(1), Column("D", 6, 0), U32(1), I64(2958466LL * 86400000)}), invalid},
      {"date after year 9999", Cat({Header(1), Column("D", 4, 0), U32(1), U32(2958466)}), invalid},
      {"negative time", Cat({Header(1), Column("D", 5, 0), U32(1), U32(0xFFFFFFFFu)}), invalid},
      {"time of 24 hours", Cat({Header(1), Column("D", 5, 0), U32(1), U32(86400000)}), invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(PacketError(c.packet), c.error) << c.what;
  // A null slot's value is not looked at.
  EXPECT_EQ(PacketError(Cat({Header(1), Column("D", 5, 1), U32(1), Bytes{1}, U32(86400000)})),
            "(accepted)");
  // Every proper prefix of a valid packet is refused.
  for (size_t size = 1; size < one_row.size(); ++size) {
    EXPECT_EQ(PacketError(Bytes(one_row.begin(), one_row.begin() + size)), invalid) << size;
  }
}

TEST(DataPacketWriter, RefusesMisuseAndStaysUnchanged) {
  const auto error = [](auto&& call) -> std::string {
    DataPacketWriter writer;
    writer.AddColumn("ID", ftSmallint, false).AddColumn("D", ftDate).AddColumn("T", ftTime);
    writer.AddRow({1, 2, 0.5});
    try {
      call(writer);
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(writer.RowCount(), 1u);
      EXPECT_EQ(writer.ColumnCount(), 3u);
      return e.Message();
    }
    return "(accepted)";
  };
  struct Case {
    std::function<void(DataPacketWriter&)> call;
    const char* error;
  };
  const Case cases[] = {
      {[](auto& w) { w.AddColumn("X", ftInteger); }, "Columns must be added before rows"},
      {[](auto& w) {
         w.AddRow({1, 2});
       },
       "Wrong number of values in a row: 3 expected, 2 given"},
      {[](auto& w) {
         w.AddRow({std::nullopt, 2, 0.5});
       },
       "Column 'ID' does not accept null"},
      {[](auto& w) {
         w.AddRow({32768, 2, 0.5});
       },
       "Value out of range for column 'ID'"},
      {[](auto& w) {
         w.AddRow({1.0, 2, 0.5});
       },
       "Column 'ID' takes integers"},
      {[](auto& w) {
         w.AddRow({1, 2.5, 0.5});
       },
       "Value out of range for column 'D'"},
      {[](auto& w) {
         w.AddRow({1, 3000000, 0.5});
       },
       "Value out of range for column 'D'"},
      {[](auto& w) {
         w.AddRow({1, 2, 1.5});
       },
       "Value out of range for column 'T'"},
      {[](auto& w) {
         w.AddRow({1, 2, std::nan("")});
       },
       "Value out of range for column 'T'"},
      {[](auto& w) {
         w.AddRow({1, 2, 0.25});
       },
       "(accepted)"},
  };
  for (const Case& c : cases) EXPECT_EQ(error(c.call), c.error);

  DataPacketWriter columns;
  columns.AddColumn("ID", ftInteger);
  EXPECT_THROW(columns.AddColumn("id", ftInteger), EDatabaseError);
  EXPECT_THROW(columns.AddColumn("", ftInteger), EDatabaseError);
  EXPECT_THROW(columns.AddColumn("X", ftUnknown), EDatabaseError);
  EXPECT_THROW(columns.AddColumn(std::string(256, 'x'), ftInteger), EDatabaseError);
  EXPECT_EQ(columns.ColumnCount(), 1u);
}

}  // namespace
}  // namespace tvx::test
