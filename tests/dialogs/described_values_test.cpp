// The module's windows read back: once a window's stored description has been applied, the
// published values that the getters give (DescribeComponent) are the values the description
// wrote, for every component and property it names. A setter that keeps another value, a
// getter that reports the wrong member, or a component placed under another parent fails here.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "classes/description.h"
#include "dialog_fixture.h"
#include "dialogs/export_history_form.h"

namespace tvx::test {
namespace {

using Json = nlohmann::ordered_json;

// A path of the description, one step further down.
std::string Joined(const std::string& path, char separator, const std::string& step) {
  std::string joined = path;
  joined += separator;
  joined += step;
  return joined;
}

// Every value of `stored` is in `read`, at the same place: objects by key, arrays element by
// element.
void ExpectWithin(const Json& stored, const Json& read, const std::string& path) {
  if (stored.is_object()) {
    ASSERT_TRUE(read.is_object()) << path << ": " << read.dump();
    for (const auto& [key, value] : stored.items()) {
      ASSERT_TRUE(read.contains(key)) << path << "." << key << " is not read back";
      ExpectWithin(value, read[key], Joined(path, '.', key));
    }
  } else if (stored.is_array()) {
    ASSERT_TRUE(read.is_array()) << path << ": " << read.dump();
    ASSERT_EQ(stored.size(), read.size()) << path << ": " << read.dump();
    for (size_t i = 0; i < stored.size(); ++i) {
      ExpectWithin(stored[i], read[i], path + "[" + std::to_string(i) + "]");
    }
  } else {
    EXPECT_EQ(stored, read) << path;
  }
}

// A component of the description against the one read back: its class, its properties and its
// children, found by name.
void ExpectComponent(const Json& stored, const Json& read, const std::string& path) {
  EXPECT_EQ(stored.at("class"), read.at("class")) << path;
  const Json& properties = read.at("properties");
  // A control that sizes itself to its content (a label) has the size of its text in the
  // font it has here, not the one the description kept from its designer's screen.
  const bool sizes_itself = properties.value("AutoSize", false);
  const Json stored_properties = stored.value("properties", Json::object());
  for (const auto& [key, value] : stored_properties.items()) {
    if (sizes_itself && (key == "Width" || key == "Height")) continue;
    ASSERT_TRUE(properties.contains(key)) << path << "." << key << " is not read back";
    ExpectWithin(value, properties[key], Joined(path, '.', key));
  }
  if (!stored.contains("children")) return;
  ASSERT_TRUE(read.contains("children")) << path << " has no children read back";
  for (const Json& child : stored.at("children")) {
    const std::string name = child.at("name");
    const Json* found = nullptr;
    for (const Json& candidate : read.at("children")) {
      if (candidate.at("name") == name) found = &candidate;
    }
    ASSERT_NE(found, nullptr) << path << ": " << name << " is not among the children read back";
    ExpectComponent(child, *found, Joined(path, '/', name));
  }
}

void ExpectDescriptionReadBack(const TComponent& window) {
  const char* stored = FindDescription(window.ClassName());
  ASSERT_NE(stored, nullptr);
  const Json read = Json::parse(DescribeComponent(window));
  EXPECT_EQ(read.at("name"), window.Name());
  ExpectComponent(Json::parse(stored), read, window.Name());
}

TEST_F(DialogTest, EveryPublishedValueOfTheWindowsReadsBackAsTheirDescriptionsGiveIt) {
  TOwned<TExport1CConfigDlg> options = CreateOwned<TExport1CConfigDlg>(nullptr);
  ExpectDescriptionReadBack(*options);
  TOwned<TExportHistoryForm> history = CreateOwned<TExportHistoryForm>(nullptr);
  ExpectDescriptionReadBack(*history);
}

}  // namespace
}  // namespace tvx::test
