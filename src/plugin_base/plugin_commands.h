// The commands of a plug-in, in the order in which the host offers them.
#pragma once

#include <cstdint>

#include "classes/collection.h"
#include "plugin_base/plugin_command.h"

namespace tvx {

class TJvPlugIn;

class TJvPluginCommands : public TCollection {
  TVX_DECLARE_CLASS(TJvPluginCommands, TCollection)

  // Starts empty; plugin (which may be null) is reported as the owner.
  explicit TJvPluginCommands(TJvPlugIn* plugin);

  TJvPlugIn* Plugin() const { return plugin_; }
  TPersistent* GetOwner() const override;

  TJvPluginCommand* Add() { return static_cast<TJvPluginCommand*>(TCollection::Add()); }
  TJvPluginCommand* Items(int32_t index) const {
    return static_cast<TJvPluginCommand*>(TCollection::Items(index));
  }

 protected:
  ~TJvPluginCommands() override = default;
  // A command inserted without a name gets "Command<N>", N the smallest number from 1 that no
  // command's name takes (compared without regard to case); one with a name keeps it.
  void SetItemName(TCollectionItem* item) override;

 private:
  TJvPlugIn* plugin_;
};

}  // namespace tvx
