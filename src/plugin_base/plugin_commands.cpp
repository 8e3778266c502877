#include "plugin_base/plugin_commands.h"

#include <limits>
#include <string>
#include <unordered_set>

#include "classes/class_builder.h"
#include "plugin_base/plugin.h"
#include "rtl/ascii.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TJvPluginCommands) {}

TJvPluginCommands::TJvPluginCommands(TJvPlugIn* plugin)
    : TCollection(TJvPluginCommand::StaticClass()), plugin_(plugin) {}

TPersistent* TJvPluginCommands::GetOwner() const { return plugin_; }

void TJvPluginCommands::SetItemName(TCollectionItem* item) {
  auto* command = static_cast<TJvPluginCommand*>(item);
  if (!command->Name().empty()) return;
  // The candidates are plain ASCII, so ASCII case folding finds every name that matches one.
  std::unordered_set<std::string> taken;
  for (int32_t i = 0; i < Count(); ++i) taken.insert(AsciiLowerCase(Items(i)->Name()));
  constexpr int32_t kLast = std::numeric_limits<int32_t>::max();
  int32_t number = 1;
  while (number < kLast && taken.contains("command" + std::to_string(number))) ++number;
  command->SetName("Command" + std::to_string(number));
}

}  // namespace tvx
