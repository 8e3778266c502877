// What the dialog tests share: a headless driver whose failures fail the test, and the export
// options dialog opened the way the export command opens it (support/export_dialog_fixture.h:
// the Russian date format pinned, a test application server behind a connection), with what an
// operator does in it and what the server and the boxes saw.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "db/data_packet_writer.h"
#include "dialogs/export_options_dialog.h"
#include "support/export_dialog_fixture.h"
#include "support/history_table.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {

TDateTime Day(int year, int month, int day);
// A time of day as a fraction of a day.
TDateTime At(int hour, int minute, int second = 0);

// A history table whose three date columns all carry dates with times of day.
DataPacketWriter HistoryTableWithTimes(std::span<const HistoryRow> rows);

// A call the server received, reduced to what the dialog decides.
struct ExportCall {
  std::string method;
  std::vector<VARTYPE> types;
  std::optional<TDateTime> from;
  std::optional<TDateTime> to;
  friend bool operator==(const ExportCall&, const ExportCall&) = default;
};
std::ostream& operator<<(std::ostream& out, const ExportCall& call);

struct Box {
  TMsgDlgType kind;
  std::string text;
  friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box);

// The cases of the parameterised tests print as their names.
template <class Case>
requires requires(const Case& c) { c.name; }
std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

// The headless backend, installed before the dialog is opened and taken away after it is freed.
class HeadlessUiTest : public ::testing::Test {
 protected:
  HeadlessUiTest();

  headless::HeadlessDriver ui;
};

class DialogTest : public HeadlessUiTest, public ExportDialogFixture {
 protected:
  // What an operator does in the shown dialog: puts a date into a field by typing its
  // digits (an empty text blanks the field), clicks, answers boxes.
  void EnterDate(TJvDateEdit& field, const std::string& digits);

  // The calls other than the history request, and the boxes shown, in order.
  std::vector<ExportCall> ExportCalls() const;
  std::vector<Box> Boxes() const;
  int HistoryRequests() const;
  // The name of the focused control of the active form ("" for none).
  std::string FocusedName();
};

}  // namespace tvx::test
