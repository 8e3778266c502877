#include "dialog_fixture.h"

#include <ostream>

#include "rtl/date_format.h"

namespace tvx::test {

TDateTime Day(int year, int month, int day) { return EncodeDate(year, month, day); }

TDateTime At(int hour, int minute, int second) { return EncodeTime(hour, minute, second); }

DataPacketWriter HistoryTableWithTimes(std::span<const HistoryRow> rows) {
  DataPacketWriter table;
  table.AddColumn("ID", ftAutoInc, /*nullable=*/false)
      .AddColumn("EXPORT_DATE", ftDateTime)
      .AddColumn("EXPORT_FROM", ftDateTime)
      .AddColumn("EXPORT_TO", ftDateTime);
  for (const HistoryRow& row : rows) {
    table.AddRow({row.id, row.export_date, row.export_from, row.export_to});
  }
  return table;
}

std::ostream& operator<<(std::ostream& out, const ExportCall& call) {
  out << call.method << "(";
  for (VARTYPE type : call.types) out << " vt" << type;
  out << " )";
  if (call.from) out << " from " << DateToStr(*call.from);
  if (call.to) out << " to " << DateToStr(*call.to);
  return out;
}

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "box kind " << static_cast<int>(box.kind) << " \"" << box.text << "\"";
}

HeadlessUiTest::HeadlessUiTest() {
  ui.SetFailureReporter([](const std::string& message) { ADD_FAILURE() << message; });
}

void DialogTest::EnterDate(TJvDateEdit& field, const std::string& digits) {
  ASSERT_TRUE(ui.Focus(field)) << field.Name() << " cannot take the focus";
  ui.Press(kVkHome);
  ui.Press(kVkEnd, kShift);  // the whole text selected, as entering by Tab does
  if (digits.empty()) {
    ui.Press(kVkDelete);
  } else {
    ui.Type(digits);
  }
}

std::vector<ExportCall> DialogTest::ExportCalls() const {
  std::vector<ExportCall> calls;
  for (const ReceivedCall& received : server->Calls()) {
    if (received.method == "AS_GetRecords") continue;
    ExportCall call{received.method, {}, {}, {}};
    for (const ReceivedArgument& argument : received.arguments) call.types.push_back(argument.vt);
    if (received.arguments.size() >= 2) {
      call.from = received.arguments[0].value->date;
      call.to = received.arguments[1].value->date;
    }
    calls.push_back(call);
  }
  return calls;
}

std::vector<Box> DialogTest::Boxes() const {
  std::vector<Box> boxes;
  for (const headless::RecordedBox& box : ui.Boxes()) boxes.push_back({box.kind, box.text});
  return boxes;
}

int DialogTest::HistoryRequests() const {
  int count = 0;
  for (const ReceivedCall& received : server->Calls()) count += received.method == "AS_GetRecords";
  return count;
}

std::string DialogTest::FocusedName() {
  TWinControl* focused = ui.Focused();
  return focused != nullptr ? focused->Name() : std::string();
}

}  // namespace tvx::test
