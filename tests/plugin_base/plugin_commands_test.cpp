// Commands: naming at insertion, defaults, display name, picture and copying.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_base/plugin.h"
#include "rtl/exceptions.h"
#include "test_plugins.h"

namespace tvx::test {
namespace {

class PluginCommandsTest : public ::testing::Test {
 protected:
  TJvPluginCommand* AddNamed(const std::string& name) {
    TJvPluginCommand* command = commands_->Add();
    command->SetName(name);
    return command;
  }
  TOwned<TJvPlugIn> plugin_ = CreateOwned<TJvPlugIn>(nullptr);
  TJvPluginCommands* commands_ = plugin_->Commands();
};

TEST_F(PluginCommandsTest, ANewCommandTakesTheSmallestFreeNumberWithoutRegardToCase) {
  EXPECT_EQ(commands_->Add()->Name(), "Command1");
  AddNamed("COMMAND3");
  EXPECT_EQ(commands_->Add()->Name(), "Command2");
  EXPECT_EQ(commands_->Add()->Name(), "Command4");
  AddNamed("");
  AddNamed("command01");  // another name than Command1
  commands_->Delete(0);
  EXPECT_EQ(commands_->Add()->Name(), "Command1");
}

TEST_F(PluginCommandsTest, ACommandThatHasANameWhenInsertedKeepsIt) {
  TOwned<TJvPluginCommands> other = CreateOwned<TJvPluginCommands>(nullptr);
  TJvPluginCommand* command = other->Add();
  command->SetName("Mine");
  commands_->Add();
  command->SetCollection(commands_);
  EXPECT_EQ(command->Name(), "Mine");
  EXPECT_EQ(command->Collection(), commands_);
}

TEST_F(PluginCommandsTest, AnEmptiedNameStaysEmptyAndShowsTheClassName) {
  TJvPluginCommand* command = commands_->Add();
  EXPECT_EQ(command->GetDisplayName(), "Command1");
  command->SetName("");
  EXPECT_EQ(command->Name(), "");
  EXPECT_EQ(command->GetDisplayName(), "TJvPluginCommand");
}

TEST_F(PluginCommandsTest, ANewCommandHasNoKeyAndAnEmptyBitmapOfItsOwn) {
  TJvPluginCommand* first = commands_->Add();
  TJvPluginCommand* second = commands_->Add();
  EXPECT_EQ(first->ShortCut(), 0);
  ASSERT_NE(first->Bitmap(), nullptr);
  EXPECT_TRUE(first->Bitmap()->Empty());
  EXPECT_NE(first->Bitmap(), second->Bitmap());
  EXPECT_EQ(first->Caption(), "");
  EXPECT_FALSE(first->OnExecute().Assigned());
  EXPECT_EQ(first->GetOwner(), commands_);
  EXPECT_EQ(commands_->Plugin(), plugin_.get());
}

TEST_F(PluginCommandsTest, WritingTheBitmapCopiesIntoTheCommandsOwn) {
  TJvPluginCommand* command = commands_->Add();
  TBitmap* own = command->Bitmap();
  TOwned<TBitmap> picture = CreateOwned<TBitmap>();
  picture->SetSize(1, 1);
  picture->SetPixel(0, 0, 0xFF00FF00u);
  command->SetBitmap(picture.get());
  picture->SetPixel(0, 0, 0);
  EXPECT_EQ(command->Bitmap(), own);
  EXPECT_EQ(command->Bitmap()->Pixel(0, 0), 0xFF00FF00u);
  command->SetBitmap(nullptr);
  EXPECT_TRUE(command->Bitmap()->Empty());
}

TEST_F(PluginCommandsTest, WritingCommandsCopiesEveryValueIntoTheSameCollection) {
  TOwned<TTestPlugIn> source = CreateOwned<TTestPlugIn>(nullptr);
  AddNamed("Old");
  plugin_->SetCommands(source->Commands());
  EXPECT_EQ(plugin_->Commands(), commands_);
  ASSERT_EQ(commands_->Count(), 2);
  for (int32_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const TJvPluginCommand* copy = commands_->Items(i);
    const TJvPluginCommand* original = source->Commands()->Items(i);
    EXPECT_NE(copy, original);
    EXPECT_EQ(copy->Name(), original->Name());
    EXPECT_EQ(copy->Caption(), original->Caption());
    EXPECT_EQ(copy->Hint(), original->Hint());
    EXPECT_EQ(copy->Data(), original->Data());
    EXPECT_EQ(copy->ShortCut(), original->ShortCut());
    EXPECT_NE(copy->Bitmap(), original->Bitmap());
    EXPECT_EQ(copy->Bitmap()->PixelText(), original->Bitmap()->PixelText());
    EXPECT_EQ(copy->OnExecute().Target(), original->OnExecute().Target());
  }
  PluginLog().clear();
  commands_->Items(0)->OnExecute().Fire(plugin_.get());
  EXPECT_EQ(PluginLog(), (std::vector<std::string>{"OnExecute from TJvPlugIn"}));
  plugin_->SetCommands(commands_);  // onto itself: unchanged
  EXPECT_EQ(commands_->Count(), 2);
}

TEST_F(PluginCommandsTest, WritingSomethingElseThanCommandsFails) {
  TOwned<TBitmap> picture = CreateOwned<TBitmap>();
  AddNamed("Kept");
  try {
    commands_->Assign(picture.get());
    FAIL() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TBitmap to a TJvPluginCommands");
  }
  EXPECT_EQ(commands_->Count(), 1);
}

TEST(ShortCut, CombinesTheKeyWithTheModifierBits) {
  struct Case {
    uint16_t key;
    bool shift, ctrl, alt;
    TShortCut expected;
  };
  const Case cases[] = {
      {0x41, false, false, false, 0x0041}, {0x41, true, false, false, 0x2041},
      {0x41, false, true, false, 0x4041},  {0x41, false, false, true, 0x8041},
      {0x70, true, true, true, 0xE070},    {0x141, false, true, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutOf(c.key, c.shift, c.ctrl, c.alt), c.expected) << c.key;
  }
}

}  // namespace
}  // namespace tvx::test
