// The plug-in object that a host works with: the plug-in's identity, its commands, and the
// operations by which the host initialises and configures it and delivers messages to it.
//
// A concrete plug-in derives from TJvPlugIn, publishes its handler methods and gives a stored
// description (identity texts, commands, event bindings), which creation applies; a class
// below TJvPlugIn without any description cannot be created ("Resource not found: <class>").
#pragma once

#include <cstdint>
#include <string>

#include "classes/data_module.h"
#include "classes/events.h"
#include "plugin_base/plugin_commands.h"

namespace tvx {

class TApplication;

using TFileName = std::string;
// Sender, APluginMessage, AMessageText.
using TPluginMessageEvent = TEvent<int32_t, std::string>;
// Sender, AllowLoad (the handler may clear it).
using TPluginInitializeEvent = TEvent<bool&>;

class TJvPlugIn : public TDataModule {
  TVX_DECLARE_CLASS(TJvPlugIn, TDataModule)

  // Design size 100 by 100, no commands, InstanceCount 1; then (through Create) the stored
  // descriptions and OnCreate.
  explicit TJvPlugIn(TComponent* owner);

  const std::string& PluginID() const { return plugin_id_; }
  void SetPluginID(const std::string& value) { plugin_id_ = value; }
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& value) { author_ = value; }
  const std::string& Copyright() const { return copyright_; }
  void SetCopyright(const std::string& value) { copyright_ = value; }
  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& value) { description_ = value; }
  const std::string& PluginVersion() const { return plugin_version_; }
  void SetPluginVersion(const std::string& value) { plugin_version_ = value; }
  int32_t InstanceCount() const { return instance_count_; }
  void SetInstanceCount(int32_t value) { instance_count_ = value; }

  // The plug-in's own collection; null only once destruction has freed it.
  TJvPluginCommands* Commands() const { return commands_.get(); }

  // Set by Initialize; neither owned nor released by the plug-in.
  const TFileName& FileName() const { return file_name_; }
  TApplication* HostApplication() const { return host_application_; }
  TObject* HostObject() const { return host_object_; }

  TPluginMessageEvent& OnPluginMessage() { return on_plugin_message_; }
  const TPluginMessageEvent& OnPluginMessage() const { return on_plugin_message_; }
  TPluginInitializeEvent& OnInitialize() { return on_initialize_; }
  const TPluginInitializeEvent& OnInitialize() const { return on_initialize_; }
  TNotifyEvent& OnConfigure() { return on_configure_; }
  const TNotifyEvent& OnConfigure() const { return on_configure_; }

  // Copies value into the plug-in's own collection (which stays the same object).
  virtual void SetCommands(const TJvPluginCommands* value);
  // Fire OnPluginMessage, OnInitialize and OnConfigure with the plug-in as Sender, when bound.
  virtual void DoPluginMessage(int32_t plugin_message, std::string message_text);
  virtual void DoInitialize(bool& allow_load);
  virtual void DoConfigure();
  // Runs DoConfigure.
  virtual void Configure();
  // Stores the three arguments, then runs DoInitialize; returns AllowLoad as the handler left
  // it (true without a handler). A refusal undoes nothing.
  virtual bool Initialize(TObject* host_object, TApplication* host_application,
                          const TFileName& file_name);

 protected:
  ~TJvPlugIn() override;
  const TClassInfo& DescriptionBase() const override;
  // Frees the command collection between the two moments at which OnDestroy may fire.
  void FreeOwnedObjects() override;

 private:
  std::string plugin_id_;
  std::string author_;
  std::string copyright_;
  std::string description_;
  TFileName file_name_;
  TOwned<TJvPluginCommands> commands_;
  TApplication* host_application_ = nullptr;
  TObject* host_object_ = nullptr;
  int32_t instance_count_ = 1;
  TPluginMessageEvent on_plugin_message_;
  TPluginInitializeEvent on_initialize_;
  TNotifyEvent on_configure_;
  std::string plugin_version_;
};

}  // namespace tvx
