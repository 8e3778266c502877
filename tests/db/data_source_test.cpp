#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/data_packet_variant.h"
#include "db/data_source.h"
#include "history_fixture.h"

namespace tvx::test {
namespace {

// A control's link that writes down what it is told.
class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> events;

  std::vector<std::string> Take() { return std::exchange(events, {}); }

 protected:
  void ActiveChanged() override { events.push_back(Active() ? "active" : "inactive"); }
  void DataSetScrolled(int32_t distance) override {
    events.push_back("scroll " + std::to_string(distance));
  }
  void DataSetChanged() override { events.push_back("changed"); }
};

using Strings = std::vector<std::string>;

class DataSourceTest : public HistoryFixture {
 protected:
  void SetUp() override {
    HistoryFixture::SetUp();
    source = Create<TDataSource>(owner.get());
    link.SetDataSource(source);
  }

  DataPacketWriter FiveRows() {
    std::vector<HistoryRow> rows;
    for (int i = 1; i <= 5; ++i) rows.push_back({i, 45000.0 + i, 0, 0});
    return HistoryTableWithTimesOfDay(rows);
  }

  TDataSource* source = nullptr;
  RecordingLink link;
};

TEST_F(DataSourceTest, TellsLinksOfOpeningScrollingDeletingAndClosing) {
  source->SetDataSet(cds);
  EXPECT_EQ(link.Take(), Strings{}) << "a closed data set is nothing to see";
  EXPECT_EQ(link.DataSet(), cds);
  EXPECT_FALSE(link.Active());

  OpenOn(FiveRows());
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.Take(), Strings{"active"});

  cds->Next();
  cds->Last();
  cds->Last();  // no move, nothing to tell
  cds->Prior();
  cds->MoveBy(-10);
  cds->SetRecNo(3);
  cds->First();
  EXPECT_EQ(link.Take(),
            (Strings{"scroll 1", "scroll 3", "scroll -1", "scroll -3", "scroll 2", "scroll -2"}));

  cds->Delete();
  cds->SetIndexFieldNames("ID");
  EXPECT_EQ(link.Take(), (Strings{"changed", "changed"}));

  cds->Close();
  EXPECT_EQ(link.Take(), Strings{"inactive"});
}

TEST_F(DataSourceTest, TellsLinksWhenTheDataSetOrTheSourceIsReplacedOrFreed) {
  OpenOn(FiveRows());
  auto* other = Create<TClientDataSet>(owner.get());
  other->SetData(*DataPacketToVariant(FiveRows().Encode()));

  source->SetDataSet(cds);
  EXPECT_EQ(link.Take(), Strings{"active"});
  source->SetDataSet(other);
  EXPECT_EQ(link.Take(), Strings{"changed"}) << "open to open: other rows, still active";
  cds->Next();
  EXPECT_EQ(link.Take(), Strings{}) << "the former data set no longer reaches the link";

  RecordingLink second;
  second.SetDataSource(source);
  EXPECT_EQ(source->DataLinkCount(), 2);
  EXPECT_EQ(second.Take(), Strings{"active"});

  other->Free();  // the source lets go of a freed data set
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_EQ(link.Take(), Strings{"inactive"});
  EXPECT_EQ(second.Take(), Strings{"inactive"});

  source->SetDataSet(cds);
  link.Take();
  {
    RecordingLink short_lived;
    short_lived.SetDataSource(source);
    EXPECT_EQ(source->DataLinkCount(), 3);
  }
  EXPECT_EQ(source->DataLinkCount(), 2);

  source->Free();  // links let go of a freed source
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_EQ(link.Take(), Strings{"inactive"});
  cds->Next();
  EXPECT_EQ(link.Take(), Strings{});
}

TEST_F(DataSourceTest, LinkMayLeaveWhileItIsTold) {
  // A control that drops its link when the data set closes, as a grid being torn down does.
  class LeavingLink : public RecordingLink {
   protected:
    void ActiveChanged() override {
      RecordingLink::ActiveChanged();
      if (!Active()) SetDataSource(nullptr);
    }
  };
  LeavingLink leaving;
  leaving.SetDataSource(source);
  source->SetDataSet(cds);
  OpenOn(FiveRows());
  cds->Close();
  EXPECT_EQ(leaving.Take(), (Strings{"active", "inactive"}));
  EXPECT_EQ(link.Take(), (Strings{"active", "inactive"}));
  EXPECT_EQ(source->DataLinkCount(), 1);
}

}  // namespace
}  // namespace tvx::test
