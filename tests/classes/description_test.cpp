// Applying stored descriptions: every kind of value, children, references, loading, and the
// rejection of every kind of bad description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/class_info.h"
#include "classes/description.h"
#include "test_classes.h"

namespace tvx::test {
namespace {

using Steps = std::vector<std::string>;

constexpr const char* kFullDescription = R"({
  "name": "Root1",
  "class": "TTestRoot",
  "properties": {
    "Text": "Экспорт\r\n  line  ",
    "Number": -2147483648,
    "ShortCut": 65535,
    "Flag": true,
    "Ratio": 2.5,
    "Color": "tcBlue",
    "Colors": ["tcRed", "tcBlue"],
    "Link": "Widget2",
    "Font": {"Name": "Tahoma", "Size": 8},
    "Items": [{"Value": 1}, {"Name": "Named", "Value": 2, "OnPing": "HandleNotify"}],
    "OnNotify": "HandleNotify",
    "OnMessage": "HandleMessage",
    "OnQuery": "HandleQuery"
  },
  "children": [
    {"name": "Widget1", "class": "TTestWidget", "properties": {"Caption": "one", "Buddy": "Widget2"},
     "children": [{"name": "Inner", "class": "TTestWidget", "properties": {"Buddy": "Widget1"}}]},
    {"name": "Widget2", "class": "TTestWidget"}
  ]
})";

class DescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  TOwned<TTestRoot> root_ = CreateOwned<TTestRoot>(nullptr);
};

TEST_F(DescriptionTest, EveryKindOfValueIsApplied) {
  ApplyDescription(root_.get(), kFullDescription);
  EXPECT_EQ(root_->Name(), "Root1");
  EXPECT_EQ(root_->text, "Экспорт\r\n  line  ");
  EXPECT_EQ(root_->number, INT32_MIN);
  EXPECT_EQ(root_->shortcut, 65535);
  EXPECT_TRUE(root_->flag);
  EXPECT_EQ(root_->ratio, 2.5);
  EXPECT_EQ(root_->color, tcBlue);
  EXPECT_EQ(root_->colors, (TTestColors{tcRed, tcBlue}));
  EXPECT_EQ(root_->Font()->name, "Tahoma");
  EXPECT_EQ(root_->Font()->size, 8);
  ASSERT_EQ(root_->Items()->Count(), 2);
  EXPECT_EQ(root_->Items()->Items(0)->name, "Item0");  // named by the collection, kept
  EXPECT_EQ(root_->Items()->Items(1)->name, "Named");  // named by the collection, then replaced
  EXPECT_EQ(root_->Items()->Items(1)->value, 2);
}

TEST_F(DescriptionTest, EventsAreBoundToTheRootsHandlers) {
  ApplyDescription(root_.get(), kFullDescription);
  root_->on_notify.Fire(root_.get());
  root_->on_message.Fire(root_.get(), 42, "text");
  bool allow = true;
  root_->on_query.Fire(root_.get(), allow);
  root_->Items()->Items(1)->on_ping.Fire(root_->Widget1);
  EXPECT_FALSE(allow);
  EXPECT_EQ(root_->on_notify.Target(), root_.get());
  EXPECT_FALSE(root_->Items()->Items(0)->on_ping.Assigned());
  EXPECT_EQ(Log(),
            (Steps{"Loaded Root1", "Loaded Widget1 buddy Widget2", "Loaded Inner buddy Widget1",
                   "Loaded Widget2", "HandleNotify from TTestRoot", "HandleMessage 42 text",
                   "HandleQuery true", "HandleNotify from TTestWidget"}));
}

TEST_F(DescriptionTest, ChildrenAreOwnedByTheRootAndPlacedInTheirEnclosingComponent) {
  ApplyDescription(root_.get(), kFullDescription);
  ASSERT_EQ(root_->ComponentCount(), 3);
  auto* inner = static_cast<TTestWidget*>(root_->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Owner(), root_.get());
  EXPECT_EQ(inner->parent, root_->Widget1);
  EXPECT_EQ(root_->Widget1->parent, root_.get());
  EXPECT_EQ(root_->Widget1->caption, "one");
  EXPECT_EQ(root_->Widget2, root_->FindComponent("Widget2"));
}

TEST_F(DescriptionTest, ReferencesResolveOnceEveryComponentExistsAndLoadingEndsAfterThem) {
  ApplyDescription(root_.get(), kFullDescription);
  EXPECT_EQ(root_->link, root_->Widget2);  // named before Widget2 was read
  EXPECT_EQ(root_->Widget1->buddy, root_->Widget2);
  EXPECT_TRUE(root_->Widget1->set_while_loading);
  EXPECT_FALSE(root_->ComponentState().Contains(csLoading));
  EXPECT_FALSE(root_->Widget1->ComponentState().Contains(csLoading));
}

TEST_F(DescriptionTest, ALaterDescriptionRefillsCollectionsAndChangesInheritedChildren) {
  ApplyDescription(root_.get(), kFullDescription);
  ApplyDescription(root_.get(), R"({"class": "TTestRoot",
    "properties": {"Items": [{"Value": 7}], "Link": null},
    "children": [{"name": "Widget1", "class": "TTestWidget", "inherited": true,
                  "properties": {"Caption": "changed"}}]})");
  ASSERT_EQ(root_->Items()->Count(), 1);
  EXPECT_EQ(root_->Items()->Items(0)->value, 7);
  EXPECT_EQ(root_->Items()->Items(0)->ID(), 2);
  EXPECT_EQ(root_->link, nullptr);
  EXPECT_EQ(root_->Widget1->caption, "changed");
  EXPECT_EQ(root_->ComponentCount(), 3);
}

struct BadCase {
  const char* label;
  std::string text;
  std::string message;  // expected within the error message
};

std::string Root(const std::string& properties, const std::string& children = "[]") {
  return R"({"name": "R", "class": "TTestRoot", "properties": {)" + properties +
         R"(}, "children": )" + children + "}";
}

std::string Nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

const BadCase kBadCases[] = {
    {"malformed", R"({"class": "TTestRoot",)", "Stored description of TTestRoot: malformed text"},
    {"empty", "", "malformed text"},
    {"bad UTF-8", "{\"class\": \"TTestRoot\", \"name\": \"\xff\"}", "malformed text"},
    {"not an object", "[]", "expected an object, found an array"},
    {"no class", R"({"name": "R"})", "the key 'class' is missing"},
    {"another class", R"({"class": "TTestWidget"})",
     "it describes class TTestWidget, not TTestRoot"},
    {"unknown key", R"({"class": "TTestRoot", "colour": 1})", "unknown key 'colour'"},
    {"name not text", R"({"class": "TTestRoot", "name": 5})",
     "'name' must be a string, found an integer"},
    {"bad root name", R"({"class": "TTestRoot", "name": "a-b"})",
     "at a-b.name: 'a-b' is not a valid component name"},
    {"duplicate key", Root(R"("Text": "a", "Text": "b")"),
     "the key 'Text' appears twice in one object"},
    {"too deep", Root(R"("Text": )" + Nested(100)), "nested more than 64 levels deep"},
    {"properties not object", R"({"class": "TTestRoot", "properties": []})",
     "the properties must be an object, found an array"},
    {"unknown property", Root(R"("Textt": "a")"),
     "at R.Textt: unknown property Textt of TTestRoot"},
    {"string expected", Root(R"("Text": 5)"), "at R.Text: expected a string, found an integer"},
    {"int32 overflow", Root(R"("Number": 2147483648)"),
     "at R.Number: 2147483648 is out of the range of int32"},
    {"int32 underflow", Root(R"("Number": -2147483649)"), "is out of the range of int32"},
    {"int32 huge", Root(R"("Number": 18446744073709551615)"), "is out of the range of int32"},
    {"fraction", Root(R"("Number": 1.5)"),
     "expected an integer (int32), found a number with a fraction"},
    {"uint16 negative", Root(R"("ShortCut": -1)"),
     "at R.ShortCut: -1 is out of the range of uint16"},
    {"uint16 overflow", Root(R"("ShortCut": 65536)"), "65536 is out of the range of uint16"},
    {"bool expected", Root(R"("Flag": "true")"),
     "at R.Flag: expected true or false, found a string"},
    {"number expected", Root(R"("Ratio": null)"), "at R.Ratio: expected a number, found null"},
    {"unknown enum value", Root(R"("Color": "tcPink")"),
     "at R.Color: 'tcPink' is not a value of TTestColor"},
    {"set not array", Root(R"("Colors": "tcRed")"),
     "expected an array of names of TTestColors, found a string"},
    {"set member not name", Root(R"("Colors": ["tcRed", 3])"),
     "expected a name of TTestColors, found an integer"},
    {"unknown set member", Root(R"("Colors": ["tcTeal"])"),
     "'tcTeal' is not a value of TTestColors"},
    {"object expected", Root(R"("Font": "Tahoma")"),
     "at R.Font: expected an object, found a string"},
    {"nested unknown property", Root(R"("Font": {"Colour": 1})"),
     "at R.Font.Colour: unknown property Colour of TTestFont"},
    {"collection not array", Root(R"("Items": {})"),
     "at R.Items: expected an array of items, found an object"},
    {"item not object", Root(R"("Items": [1])"),
     "at R.Items[0]: expected an object of item properties"},
    {"item value", Root(R"("Items": [{}, {"Value": "x"}])"),
     "at R.Items[1].Value: expected an integer (int32), found a string"},
    {"unknown handler", Root(R"("OnNotify": "Nope")"),
     "at R.OnNotify: no handler named Nope in TTestRoot"},
    {"handler not text", Root(R"("OnNotify": true)"),
     "at R.OnNotify: expected a handler name, found a boolean"},
    {"handler of other parameters", Root(R"("OnQuery": "HandleNotify")"),
     "at R.OnQuery: the parameters of handler HandleNotify do not fit event OnQuery"},
    {"item handler", Root(R"("Items": [{"OnPing": "HandleMessage"}])"),
     "at R.Items[0].OnPing: the parameters of handler HandleMessage do not fit event OnPing"},
    {"unknown component", Root(R"("Link": "Ghost")"), "at R.Link: no component named Ghost"},
    {"component not name", Root(R"("Link": 1)"),
     "at R.Link: expected a component name, found an integer"},
    {"component of another class", Root(R"("Link": "R")"),
     "at R.Link: R is a TTestRoot, not a TTestWidget"},
    {"children not array", Root("", "{}"), "at R.children: expected an array, found an object"},
    {"child not object", Root("", "[3]"), "at R.children[0]: expected an object, found an integer"},
    {"child without class", Root("", R"([{"name": "W"}])"), "at W: the key 'class' is missing"},
    {"unknown child class", Root("", R"([{"name": "W", "class": "TNoSuch"}])"),
     "at W: unknown class TNoSuch"},
    {"child not a component", Root("", R"([{"name": "W", "class": "TTestFont"}])"),
     "at W: class TTestFont is not a component class that can be created"},
    {"child unknown key", Root("", R"([{"name": "W", "class": "TTestWidget", "parent": "R"}])"),
     "at W: unknown key 'parent'"},
    {"duplicate child",
     Root("", R"([{"name": "W", "class": "TTestWidget"}, {"name": "w", "class": "TTestWidget"}])"),
     "at w.name: A component named w already exists"},
    {"bad child name", Root("", R"([{"name": "1x", "class": "TTestWidget"}])"),
     "at 1x.name: '1x' is not a valid component name"},
    {"child of the field's wrong class",
     Root("", R"([{"name": "Widget1", "class": "TComponent"}])"),
     "Component Widget1 is a TComponent, but the field Widget1 of TTestRoot holds a TTestWidget"},
    {"child property",
     Root("", R"([{"name": "W", "class": "TTestWidget", "properties": {"Caption": 1}}])"),
     "at W.Caption: expected a string, found an integer"},
    {"child reference",
     Root("", R"([{"name": "W", "class": "TTestWidget", "properties": {"Buddy": "X"}}])"),
     "at W.Buddy: no component named X"},
    {"inherited missing", Root("", R"([{"name": "W", "class": "TTestWidget", "inherited": true}])"),
     "at W: no inherited component named 'W'"},
    {"inherited not flag", Root("", R"([{"name": "W", "class": "TTestWidget", "inherited": 1}])"),
     "at W: 'inherited' must be true or false"},
};

TEST(BadDescriptions, AreRejectedWithAMessageThatNamesTheProblem) {
  for (const BadCase& c : kBadCases) {
    SCOPED_TRACE(c.label);
    TOwned<TTestRoot> root = CreateOwned<TTestRoot>(nullptr);
    try {
      ApplyDescription(root.get(), c.text);
      ADD_FAILURE() << "accepted";
    } catch (const EComponentError& e) {
      EXPECT_STREQ(e.ClassName(), "EDescriptionError");
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(root->ComponentState().Contains(csLoading));
  }
}

TEST(BadDescriptions, FailTheCreationOfTheirClassAndFreeThePartlyBuiltObject) {
  const int modules = TTestModule::live;
  const int widgets = TTestWidget::live;
  RegisterDescription("TTestBrokenModule", R"({"class": "TTestBrokenModule",
      "children": [{"name": "W", "class": "TTestWidget"}],
      "properties": {"OnCreate": "NoSuchHandler"}})");
  try {
    Create<TTestBrokenModule>(nullptr);
    FAIL() << "created";
  } catch (const EDescriptionError& e) {
    EXPECT_EQ(e.Message(),
              "Stored description of TTestBrokenModule, at TTestBrokenModule.OnCreate: no handler "
              "named NoSuchHandler in TTestBrokenModule");
  }
  EXPECT_EQ(TTestModule::live, modules);
  EXPECT_EQ(TTestWidget::live, widgets);
}

}  // namespace
}  // namespace tvx::test
