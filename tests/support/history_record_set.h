// The export history's record set as the export dialog declares it: a client data set asking
// the provider "dspQuery" for the history, kept in EXPORT_DATE order, with its persistent
// fields ID (integer) and EXPORT_DATE, EXPORT_FROM and EXPORT_TO (date-times), all owned by one
// component. Fixtures take it in as a base, beside the test class they derive from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/component.h"
#include "db/client_data_set.h"
#include "db/data_packet_writer.h"
#include "db/fields.h"

namespace tvx::test {

class HistoryRecordSet {
 public:
  HistoryRecordSet();

  // A field more of the record set, owned with the others.
  template <class F>
  F* AddField(const std::string& name) {
    F* field = Create<F>(owner.get());
    field->SetFieldName(name);
    field->SetDataSet(cds);
    return field;
  }

  // Opens the record set on a packet (again, when it is open).
  void OpenOn(const DataPacketWriter& table);

  // The IDs of all rows in index order, read by walking the cursor from the first row.
  std::vector<int32_t> Ids();

  // The owner of the record set and its fields: reset, it frees them all.
  TOwned<TComponent> owner;
  TClientDataSet* cds = nullptr;
  TIntegerField* id = nullptr;
  TDateTimeField* date = nullptr;
  TDateTimeField* from = nullptr;
  TDateTimeField* to = nullptr;
};

}  // namespace tvx::test
