#include "support/history_record_set.h"

#include "db/data_packet_variant.h"

namespace tvx::test {

HistoryRecordSet::HistoryRecordSet() : owner(CreateOwned<TComponent>(nullptr)) {
  cds = Create<TClientDataSet>(owner.get());
  cds->SetProviderName("dspQuery");
  cds->SetCommandText("SELECT * FROM OK_EXPORT_HISTORY");
  cds->SetIndexFieldNames("EXPORT_DATE");
  id = AddField<TIntegerField>("ID");
  date = AddField<TDateTimeField>("EXPORT_DATE");
  from = AddField<TDateTimeField>("EXPORT_FROM");
  to = AddField<TDateTimeField>("EXPORT_TO");
}

void HistoryRecordSet::OpenOn(const DataPacketWriter& table) {
  cds->SetData(*DataPacketToVariant(table.Encode()));
}

std::vector<int32_t> HistoryRecordSet::Ids() {
  std::vector<int32_t> ids;
  for (cds->First(); !cds->Eof(); cds->Next()) ids.push_back(id->AsInteger());
  return ids;
}

}  // namespace tvx::test
