// The summary of the previous export and the proposed dates, as the dialog shows them
// once it has fetched the history.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "rtl/date_format.h"
#include "rtl/exceptions.h"

namespace tvx::test {
namespace {

struct SummaryCase {
  const char* name;
  std::vector<HistoryRow> rows;
  bool with_times;  // all three date columns carry times of day
  std::string previous_export;
  std::optional<std::string> hints;  // nullopt: the range line is hidden
  std::string from_text;
  TDateTime from_date;
};

const SummaryCase kSummaryCases[] = {
    {"LatestExportDateDecidesEvenWithALaterEndElsewhere",
     {{1, Day(2024, 3, 10) + At(9, 30), Day(2024, 2, 1), Day(2024, 3, 1)},
      {2, Day(2024, 1, 5), Day(2023, 12, 1), Day(2024, 6, 30)},
      {3, Day(2024, 2, 1), Day(2024, 1, 1), Day(2024, 1, 31)}},
     false,
     "10.03.2024",
     "Экспортировались данные с 01.02.2024 по 01.03.2024",
     "01.03.2024",
     Day(2024, 3, 1)},
    {"SingleRowProposesTheDayTheRangeEnded",
     {{7, Day(2023, 12, 31), Day(2023, 1, 1), Day(2023, 12, 31)}},
     false,
     "31.12.2023",
     "Экспортировались данные с 01.01.2023 по 31.12.2023",
     "31.12.2023",
     Day(2023, 12, 31)},
    {"TimesOfDayNeverShow",
     {{1, Day(2024, 5, 20) + At(18, 45, 12), Day(2024, 4, 1) + At(8, 0),
       Day(2024, 5, 19) + At(23, 59, 59)}},
     true,
     "20.05.2024",
     "Экспортировались данные с 01.04.2024 по 19.05.2024",
     "19.05.2024",
     Day(2024, 5, 19)},
    {"NullDatesShowAsDayZero",
     {{1, std::nullopt, std::nullopt, std::nullopt}},
     false,
     "30.12.1899",
     "Экспортировались данные с 30.12.1899 по 30.12.1899",
     "  .  .    ",
     0},
    {"NullEndLeavesFromEmpty",
     {{1, Day(2024, 5, 5), Day(2024, 4, 1), std::nullopt}},
     false,
     "05.05.2024",
     "Экспортировались данные с 01.04.2024 по 30.12.1899",
     "  .  .    ",
     0},
};

class SummaryTest : public DialogTest, public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(SummaryTest, ShowsTheLatestExportAndProposesItsEnd) {
  const SummaryCase& c = GetParam();
  TExport1CConfigDlg& dlg =
      c.with_times ? OpenDialog(HistoryTableWithTimes(c.rows)) : OpenDialog(c.rows);

  EXPECT_EQ(dlg.ePreviousExport->Caption(), c.previous_export);
  EXPECT_EQ(dlg.eExportHints->Visible(), c.hints.has_value());
  if (c.hints) {
    EXPECT_EQ(dlg.eExportHints->Caption(), *c.hints);
  }
  EXPECT_EQ(dlg.eExportFrom->Text(), c.from_text);
  EXPECT_EQ(dlg.eExportFrom->Date(), c.from_date);
  EXPECT_EQ(dlg.eExportTo->Date(), Date());
  EXPECT_TRUE(dlg.btnShowHistory->Enabled());
  // The record set stands on the latest export, where the history view will start.
  EXPECT_EQ(dlg.cdsExportHistory->RecNo(), static_cast<int32_t>(c.rows.size()));
  EXPECT_EQ(HistoryRequests(), 1);
  EXPECT_TRUE(ExportCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(History, SummaryTest, ::testing::ValuesIn(kSummaryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, EmptyHistoryShowsAbsenceAndProposesTheMonthSoFar) {
  TExport1CConfigDlg& dlg = OpenDialog({});

  EXPECT_EQ(dlg.ePreviousExport->Caption(), "ОТСУТСТВУЕТ");
  EXPECT_TRUE(dlg.ePreviousExport->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(dlg.eExportHints->Visible());
  int year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  EXPECT_EQ(dlg.eExportFrom->Date(), Day(year, month, 1));
  EXPECT_EQ(dlg.eExportTo->Date(), Date());
  EXPECT_EQ(dlg.eExportTo->Text(), DateToStr(Date()));
  EXPECT_FALSE(dlg.btnShowHistory->Enabled());
}

TEST_F(DialogTest, HistoryThatCannotBeReadLeavesSetConnectionWithTheServersMessage) {
  server->FailGetRecords(E_FAIL, u"History table is locked.");
  dialog = Create<TExport1CConfigDlg>(nullptr);
  try {
    dialog->SetConnection(connection);
    ADD_FAILURE() << "SetConnection returned";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "History table is locked");
  }
  EXPECT_FALSE(dialog->cdsExportHistory->Active());
  EXPECT_TRUE(ui.Boxes().empty());
}

}  // namespace
}  // namespace tvx::test
