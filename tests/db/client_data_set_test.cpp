#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/client_data_set.h"
#include "db/data_packet_variant.h"
#include "db/fields.h"
#include "history_fixture.h"
#include "rtl/datetime.h"
#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

using ClientDataSet = HistoryFixture;

constexpr double kDay = 45291;  // 31 December 2023

TEST_F(ClientDataSet, OpensOrderedByExportDateKeepingServerOrderAmongEqualDates) {
  OpenOn(HistoryTableWithTimesOfDay({
      {1, kDay + 2, kDay, kDay + 1},
      {2, kDay + 0.75, kDay, kDay + 1},
      {3, kDay + 2, kDay, kDay + 1},
      {4, kDay - 400, kDay, kDay + 1},
      {5, kDay + 0.75, kDay, kDay + 1},
      {6, kDay + 2, kDay, kDay + 1},
      {7, kDay + 0.25, kDay, kDay + 1},
  }));
  EXPECT_TRUE(cds->Active());
  EXPECT_EQ(cds->RecordCount(), 7);
  EXPECT_EQ(Ids(), (std::vector<int32_t>{4, 7, 2, 5, 1, 3, 6}));
  cds->Last();
  EXPECT_EQ(id->AsInteger(), 6);
  EXPECT_EQ(date->AsDateTime(), kDay + 2);
}

TEST_F(ClientDataSet, OrdersBySeveralFieldsAndReordersWhileOpenKeepingTheCurrentRow) {
  cds->SetIndexFieldNames(" EXPORT_TO ; export_date ");
  OpenOn(HistoryTableWithTimesOfDay({
      {1, kDay + 3, kDay, kDay + 9},
      {2, kDay + 2, kDay, kDay + 5},
      {3, kDay + 1, kDay, kDay + 9},
      {4, kDay + 3, kDay, kDay + 5},
      {5, kDay + 1, kDay, kDay + 9},
  }));
  EXPECT_EQ(Ids(), (std::vector<int32_t>{2, 4, 3, 5, 1}));
  cds->SetRecNo(3);  // ID 3
  cds->SetIndexFieldNames("ID");
  EXPECT_EQ(id->AsInteger(), 3);
  EXPECT_EQ(cds->RecNo(), 3);
  EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  // An unknown name leaves the order as it was.
  EXPECT_EQ(DatabaseError([&] { cds->SetIndexFieldNames("EXPORT_DATE;NOPE"); }),
            "Field 'NOPE' not found");
  EXPECT_EQ(cds->IndexFieldNames(), "ID");
  EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(ClientDataSet, OrdersManyRowsStablyWithNullsFirst) {
  // Enough rows for the bulk sorting path, with many equal keys, nulls and days before 1900.
  struct Row {
    int32_t id;
    std::optional<double> date, to;
  };
  std::vector<Row> rows;
  std::vector<HistoryRow> table;
  for (int32_t i = 1; i <= 20000; ++i) {
    Row row{i, (i * 7919 % 50) + (i % 3) * 0.25, static_cast<double>(i * 31 % 7)};
    if (i % 97 == 0) row.date.reset();
    if (i % 101 == 0) row.date = -5.0 - i % 4;
    if (i % 89 == 0) row.to.reset();
    rows.push_back(row);
    const auto value = [](const std::optional<double>& v) {
      return v ? DataPacketValue(*v) : DataPacketValue();
    };
    table.push_back({i, value(row.date), 0, value(row.to)});
  }
  const auto less = [](const std::optional<double>& a, const std::optional<double>& b) {
    return !a ? b.has_value() : b && *a < *b;
  };
  const auto expected_ids = [&rows](auto compare) {
    std::vector<Row> sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(), compare);
    std::vector<int32_t> ids;
    for (const Row& row : sorted) ids.push_back(row.id);
    return ids;
  };

  OpenOn(HistoryTableWithTimesOfDay(table));
  EXPECT_EQ(Ids(), expected_ids([&](const Row& a, const Row& b) { return less(a.date, b.date); }));
  cds->SetIndexFieldNames("EXPORT_TO;EXPORT_DATE");
  EXPECT_EQ(Ids(), expected_ids([&](const Row& a, const Row& b) {
              return less(a.to, b.to) || (!less(b.to, a.to) && less(a.date, b.date));
            }));
}

TEST_F(ClientDataSet, NullsReadAsZeroShowEmptyAndSortFirst) {
  OpenOn(HistoryTableWithTimesOfDay({
      {1, kDay, kDay, kDay},
      {std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {3, -700.5, kDay, std::nullopt},
  }));
  cds->First();
  EXPECT_TRUE(id->IsNull());
  EXPECT_EQ(id->AsInteger(), 0);
  EXPECT_EQ(id->DisplayText(), "");
  EXPECT_TRUE(date->IsNull());
  EXPECT_EQ(date->AsDateTime(), 0);
  EXPECT_EQ(date->DisplayText(), "");
  cds->Next();
  EXPECT_EQ(id->AsInteger(), 3);
  EXPECT_EQ(date->AsDateTime(), -700.5);
  EXPECT_FALSE(from->IsNull());
  EXPECT_TRUE(to->IsNull());
  EXPECT_EQ(to->AsDateTime(), 0);
  cds->Next();
  EXPECT_EQ(id->AsInteger(), 1);
  EXPECT_FALSE(id->IsNull());
}

TEST_F(ClientDataSet, ShowsDateTimesAsShortDateAndLongTimeUnlessMidnight) {
  OpenOn(HistoryTableWithTimesOfDay({
      {1, kDay, kDay + 0.5, kDay + EncodeTime(0, 0, 1)},
      {2, kDay + 1 + EncodeTime(0, 0, 0, 500), kDay + EncodeTime(9, 5, 7), 0.0},
  }));
  cds->First();
  EXPECT_EQ(date->DisplayText(), "31.12.2023");
  EXPECT_EQ(from->DisplayText(), "31.12.2023 12:00:00");
  EXPECT_EQ(to->AsString(), "31.12.2023 0:00:01");
  EXPECT_EQ(id->DisplayText(), "1");
  // Milliseconds alone are no time of day to show.
  EXPECT_EQ(date->DisplayTextAt(2), "01.01.2024");
  EXPECT_EQ(from->DisplayTextAt(2), "31.12.2023 9:05:07");
  EXPECT_EQ(to->DisplayTextAt(2), "30.12.1899");
  EXPECT_EQ(cds->RecNo(), 1) << "reading another row leaves the cursor";
  EXPECT_EQ(DatabaseError([&] { date->DisplayTextAt(3); }), "Record 3 not found");
  EXPECT_EQ(DatabaseError([&] { date->IsNullAt(0); }), "Record 0 not found");
}

TEST_F(ClientDataSet, ReadsEveryTemporalAndIntegerColumnTypeThroughItsField) {
  struct Case {
    TFieldType id_type, date_type;
    DataPacketValue date_value;
    double expected;
  };
  const Case cases[] = {
      {ftSmallint, ftDate, kDay, kDay},
      {ftInteger, ftTime, 0.75, 0.75},
      {ftAutoInc, ftDateTime, -1.25, -1.25},
  };
  for (const Case& c : cases) {
    DataPacketWriter writer;
    writer.AddColumn("ID", c.id_type)
        .AddColumn("EXPORT_DATE", c.date_type)
        .AddColumn("EXPORT_FROM", ftDate)
        .AddColumn("EXPORT_TO", ftDate)
        .AddColumn("COMMENT", ftInteger);  // no field names it: ignored
    writer.AddRow({-7, c.date_value, 1, 2, 99});
    OpenOn(writer);
    EXPECT_EQ(id->AsInteger(), -7);
    EXPECT_EQ(date->AsDateTime(), c.expected);
    EXPECT_EQ(id->ColumnType(), c.id_type);
    EXPECT_EQ(cds->FindField("COMMENT"), nullptr);
  }
}

TEST_F(ClientDataSet, RefusesMissingColumnsAndMismatchedTypesAndStaysClosed) {
  struct Case {
    const char* column;
    TFieldType type;
    const char* error;
  };
  const Case cases[] = {
      {"EXPORT_TO", ftUnknown, "Field 'EXPORT_TO' not found"},
      {"ID", ftDate, "Type mismatch for field 'ID', expecting: Integer actual: Date"},
      {"ID", ftDateTime, "Type mismatch for field 'ID', expecting: Integer actual: DateTime"},
      {"EXPORT_FROM", ftSmallint,
       "Type mismatch for field 'EXPORT_FROM', expecting: DateTime actual: SmallInt"},
      {"EXPORT_FROM", ftAutoInc,
       "Type mismatch for field 'EXPORT_FROM', expecting: DateTime actual: AutoInc"},
      {"EXPORT_DATE", ftTime, "(none)"},
  };
  for (const Case& c : cases) {
    DataPacketWriter writer;
    for (const char* name : {"ID", "EXPORT_DATE", "EXPORT_FROM", "EXPORT_TO"}) {
      if (std::string(name) == c.column) {
        if (c.type != ftUnknown) writer.AddColumn(name, c.type);
      } else {
        writer.AddColumn(name, std::string(name) == "ID" ? ftInteger : ftDateTime);
      }
    }
    cds->Close();
    EXPECT_EQ(DatabaseError([&] { OpenOn(writer); }), c.error) << c.column;
    EXPECT_EQ(cds->Active(), std::string(c.error) == "(none)");
  }
  cds->Close();
  cds->SetIndexFieldNames("EXPORT_DAY");
  EXPECT_EQ(DatabaseError([&] { OpenOn(HistoryTableWithTimesOfDay({})); }),
            "Field 'EXPORT_DAY' not found");
  EXPECT_FALSE(cds->Active());
}

TEST_F(ClientDataSet, RefusesAbsentOrMalformedPacketsWithTheirTwoErrors) {
  const char* missing = "Missing data provider or data packet";
  const char* invalid = "Invalid data packet";
  const uint8_t garbage[] = {'T', 'V', 'D', 'P', 9};
  struct Case {
    OleVariant packet;
    const char* error;
  };
  const Case cases[] = {
      {OleVariant(), missing},
      {OleVariant::Null(), missing},
      {OleVariant::Bytes({}), missing},
      {OleVariant::I4(5), invalid},
      {OleVariant::String(u"TVDP"), invalid},
      {OleVariant::Bytes(garbage), invalid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DatabaseError([&] { cds->SetData(*c.packet); }), c.error);
    EXPECT_FALSE(cds->Active());
  }
  // A packet passed by reference is followed.
  OleVariant packet =
      DataPacketToVariant(HistoryTableWithTimesOfDay({{1, kDay, kDay, kDay}}).Encode());
  OleVariant reference = OleVariant::ByRef(packet.Get());
  cds->SetData(*reference);
  EXPECT_EQ(cds->RecordCount(), 1);
  // Without a connection there is nothing to open.
  cds->Close();
  EXPECT_EQ(DatabaseError([&] { cds->Open(); }), missing);
}

TEST_F(ClientDataSet, MovesItsCursorWithinTheRows) {
  OpenOn(HistoryTableWithTimesOfDay({{1, kDay, 0, 0}, {2, kDay + 1, 0, 0}, {3, kDay + 2, 0, 0}}));
  EXPECT_EQ(cds->RecNo(), 1);
  EXPECT_TRUE(cds->Bof());
  EXPECT_FALSE(cds->Eof());
  cds->Next();
  EXPECT_FALSE(cds->Bof());
  EXPECT_EQ(cds->RecNo(), 2);
  cds->Last();
  EXPECT_TRUE(cds->Eof());
  EXPECT_EQ(id->AsInteger(), 3);
  cds->Prior();
  EXPECT_FALSE(cds->Eof());
  EXPECT_EQ(cds->RecNo(), 2);
  cds->Next();
  cds->Next();  // past the last row: stays, Eof
  EXPECT_TRUE(cds->Eof());
  EXPECT_EQ(cds->RecNo(), 3);
  EXPECT_EQ(cds->MoveBy(-5), -2);
  EXPECT_TRUE(cds->Bof());
  EXPECT_EQ(cds->RecNo(), 1);
  EXPECT_EQ(cds->MoveBy(2), 2);
  EXPECT_FALSE(cds->Bof());
  EXPECT_FALSE(cds->Eof());
  cds->SetRecNo(99);
  EXPECT_EQ(cds->RecNo(), 3);
  EXPECT_FALSE(cds->IsEmpty());

  OpenOn(HistoryTableWithTimesOfDay({}));
  EXPECT_TRUE(cds->IsEmpty());
  EXPECT_TRUE(cds->Bof());
  EXPECT_TRUE(cds->Eof());
  EXPECT_EQ(cds->RecNo(), 0);
  cds->Last();
  EXPECT_EQ(cds->MoveBy(1), 0);
  EXPECT_TRUE(date->IsNull());
  EXPECT_EQ(date->AsDateTime(), 0);

  cds->Close();
  const char* closed = "Cannot perform this operation on a closed dataset";
  EXPECT_EQ(DatabaseError([&] { cds->First(); }), closed);
  EXPECT_EQ(DatabaseError([&] { cds->RecordCount(); }), closed);
  EXPECT_EQ(DatabaseError([&] { cds->Eof(); }), closed);
  EXPECT_EQ(DatabaseError([&] { date->AsDateTime(); }), closed);
  EXPECT_EQ(DatabaseError([&] { cds->Delete(); }), closed);
}

TEST_F(ClientDataSet, DeletesLocallyWhenThePacketAllowsIt) {
  const auto table =
      HistoryTableWithTimesOfDay({{1, kDay, 0, 0}, {2, kDay + 1, 0, 0}, {3, kDay + 2, 0, 0}});
  OpenOn(table);
  EXPECT_TRUE(cds->CanModify());
  cds->SetRecNo(2);
  cds->Delete();
  EXPECT_EQ(cds->ChangeCount(), 1);
  EXPECT_EQ(cds->RecordCount(), 2);
  EXPECT_EQ(id->AsInteger(), 3) << "the next row takes the deleted one's place";
  cds->Delete();  // the last row: the cursor goes to the new last row
  EXPECT_EQ(id->AsInteger(), 1);
  EXPECT_EQ(Ids(), (std::vector<int32_t>{1}));
  cds->Delete();
  EXPECT_TRUE(cds->IsEmpty());
  EXPECT_EQ(cds->ChangeCount(), 3);
  EXPECT_EQ(DatabaseError([&] { cds->Delete(); }),
            "Cannot perform this operation on an empty dataset");
  // Reopening reads the packet again; the local deletions are gone with the old rows.
  OpenOn(table);
  EXPECT_EQ(cds->RecordCount(), 3);
  EXPECT_EQ(cds->ChangeCount(), 0);
}

TEST_F(ClientDataSet, RefusesDeletionsThatThePacketOrTheDataSetForbids) {
  struct Case {
    bool packet_read_only, deletes_allowed, data_set_read_only;
    const char* error;
  };
  const Case cases[] = {
      {false, false, false, "Deletes are not allowed"},
      {true, true, false, "Cannot modify a read-only dataset"},
      {true, false, false, "Cannot modify a read-only dataset"},
      {false, true, true, "Cannot modify a read-only dataset"},
  };
  for (const Case& c : cases) {
    auto table = HistoryTableWithTimesOfDay({{1, kDay, 0, 0}, {2, kDay + 1, 0, 0}});
    table.SetReadOnly(c.packet_read_only).SetDeletesAllowed(c.deletes_allowed);
    cds->SetReadOnly(c.data_set_read_only);
    OpenOn(table);
    EXPECT_EQ(cds->CanModify(), !c.packet_read_only && !c.data_set_read_only);
    EXPECT_EQ(cds->DeletesAllowed(), c.deletes_allowed);
    cds->Last();
    EXPECT_EQ(DatabaseError([&] { cds->Delete(); }), c.error);
    EXPECT_EQ(cds->RecordCount(), 2);
    EXPECT_EQ(cds->ChangeCount(), 0);
    EXPECT_EQ(id->AsInteger(), 2);
  }
}

TEST_F(ClientDataSet, KeepsItsFieldsInOrderAndRefusesChangesWhileOpen) {
  EXPECT_EQ(cds->FieldCount(), 4);
  EXPECT_EQ(cds->Fields(1), date);
  EXPECT_EQ(cds->FieldByName("export_to"), to);
  EXPECT_EQ(DatabaseError([&] { cds->FieldByName("NOPE"); }), "Field 'NOPE' not found");
  EXPECT_THROW(cds->Fields(4), EListError);
  EXPECT_EQ(DatabaseError([&] { AddField<TIntegerField>("Id"); }), "Duplicate field name 'Id'");
  EXPECT_EQ(cds->FieldCount(), 4);
  EXPECT_EQ(date->DataSet(), cds);
  EXPECT_EQ(date->GetParentComponent(), cds);

  OpenOn(HistoryTableWithTimesOfDay({{1, kDay, 0, 0}}));
  const char* open = "Cannot perform this operation on an open dataset";
  EXPECT_EQ(DatabaseError([&] { date->SetFieldName("EXPORT_FROM"); }), open);
  EXPECT_EQ(DatabaseError([&] { date->SetDataSet(nullptr); }), open);

  // A field freed with its owner leaves the data set; the data set freed first lets its
  // fields go.
  cds->Close();
  to->Free();
  EXPECT_EQ(cds->FieldCount(), 3);
  cds->Free();
  EXPECT_EQ(date->DataSet(), nullptr);
  EXPECT_EQ(DatabaseError([&] { date->AsDateTime(); }), "Field 'EXPORT_DATE' has no dataset");
}

}  // namespace
}  // namespace tvx::test
