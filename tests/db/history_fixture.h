// A record set of export history (ID and three dates) with its persistent fields, as the
// export dialog declares it, opened on packets that the tests write.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/component.h"
#include "db/client_data_set.h"
#include "db/data_packet_variant.h"
#include "db/data_packet_writer.h"
#include "db/fields.h"
#include "rtl/exceptions.h"
#include "rtl/format_settings.h"

namespace tvx::db_test {

// One history row: ID, EXPORT_DATE, EXPORT_FROM, EXPORT_TO.
struct HistoryRow {
  DataPacketValue id, date, from, to;
};

inline DataPacketWriter HistoryTable(const std::vector<HistoryRow>& rows,
                                     TFieldType date_type = ftDateTime) {
  DataPacketWriter writer;
  writer.AddColumn("ID", ftAutoInc)
      .AddColumn("EXPORT_DATE", date_type)
      .AddColumn("EXPORT_FROM", date_type)
      .AddColumn("EXPORT_TO", date_type);
  for (const HistoryRow& row : rows) writer.AddRow({row.id, row.date, row.from, row.to});
  return writer;
}

class HistoryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SelectFormatSettings("ru-RU"));
    owner = CreateOwned<TComponent>(nullptr);
    cds = Create<TClientDataSet>(owner.get());
    cds->SetProviderName("dspQuery");
    cds->SetCommandText("SELECT * FROM OK_EXPORT_HISTORY");
    cds->SetIndexFieldNames("EXPORT_DATE");
    id = AddField<TIntegerField>("ID");
    date = AddField<TDateTimeField>("EXPORT_DATE");
    from = AddField<TDateTimeField>("EXPORT_FROM");
    to = AddField<TDateTimeField>("EXPORT_TO");
  }

  template <class F>
  F* AddField(const std::string& name) {
    F* field = Create<F>(owner.get());
    field->SetFieldName(name);
    field->SetDataSet(cds);
    return field;
  }

  void OpenOn(const DataPacketWriter& table) { cds->SetData(*DataPacketToVariant(table.Encode())); }

  // The IDs of all rows in index order, read by walking the cursor from the first row.
  std::vector<int32_t> Ids() {
    std::vector<int32_t> ids;
    for (cds->First(); !cds->Eof(); cds->Next()) ids.push_back(id->AsInteger());
    return ids;
  }

  TOwned<TComponent> owner;
  TClientDataSet* cds = nullptr;
  TIntegerField* id = nullptr;
  TDateTimeField* date = nullptr;
  TDateTimeField* from = nullptr;
  TDateTimeField* to = nullptr;
};

// The message of the EDatabaseError that a call raises, or "(none)".
template <class F>
std::string DatabaseError(F&& call) {
  try {
    call();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(none)";
}

}  // namespace tvx::db_test
