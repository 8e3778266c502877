#include "support/options_dialog_layout.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

// The dialogs' stored descriptions, compiled in by tests/support/CMakeLists.txt.
extern const char kOptionsDialogDesign[];
extern const char kHistoryViewDesign[];

namespace tvx::test {
namespace {

using Json = nlohmann::ordered_json;

void AddControls(const Json& component, std::vector<DesignedControl>& controls) {
  const auto children = component.find("children");
  if (children == component.end()) return;
  const std::string parent = component.value("name", "");
  for (const Json& child : *children) {
    const Json properties = child.value("properties", Json::object());
    if (properties.contains("Left")) {
      controls.push_back({child.at("name").get<std::string>(),
                          child.at("class").get<std::string>(),
                          parent,
                          properties.value("Caption", ""),
                          {properties.at("Left").get<int>(), properties.at("Top").get<int>(),
                           properties.at("Width").get<int>(), properties.at("Height").get<int>()},
                          properties.value("TabOrder", -1)});
    }
    AddControls(child, controls);
  }
}

}  // namespace

std::vector<DesignedControl> ControlsOfDescription(std::string_view description) {
  std::vector<DesignedControl> controls;
  AddControls(Json::parse(description), controls);
  return controls;
}

const std::vector<DesignedControl>& OptionsDialogControls() {
  static const std::vector<DesignedControl> controls = [] {
    std::vector<DesignedControl> read = ControlsOfDescription(kOptionsDialogDesign);
    for (DesignedControl& c : read) {
      if (c.name == "ePreviousExport") c.caption = kShownPreviousExport;
      if (c.name == "eExportHints") c.caption = kShownExportHints;
    }
    return read;
  }();
  return controls;
}

const std::vector<DesignedControl>& HistoryViewControls() {
  static const std::vector<DesignedControl> controls = ControlsOfDescription(kHistoryViewDesign);
  return controls;
}

const DesignedControl& OptionsDialogControl(std::string_view name) {
  for (const DesignedControl& c : OptionsDialogControls()) {
    if (c.name == name) return c;
  }
  throw std::out_of_range("the options dialog has no control named " + std::string(name));
}

}  // namespace tvx::test
