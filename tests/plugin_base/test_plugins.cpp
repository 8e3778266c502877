#include "test_plugins.h"

#include "classes/class_builder.h"
#include "rtl/exceptions.h"

extern const char kTestPlugInDescription[];
extern const char kOldOrderPlugInDescription[];
extern const char kConfigurePlugInDescription[];

namespace tvx::test {
namespace {

std::string CommandState(const TJvPlugIn* plugin) {
  if (plugin->Commands() == nullptr) return "no commands";
  std::string state = std::to_string(plugin->Commands()->Count()) + " commands";
  if (plugin->Commands()->Count() > 0) state += ", first " + plugin->Commands()->Items(0)->Name();
  return state;
}

}  // namespace

std::vector<std::string>& PluginLog() {
  static std::vector<std::string> log;
  return log;
}

bool TTestPlugIn::allow_load = true;
bool TTestPlugIn::fail = false;

TVX_IMPLEMENT_CLASS(TTestPlugIn) {
  TVX_HANDLER(PluginInitialize);
  TVX_HANDLER(PluginConfigure);
  TVX_HANDLER(PluginMessage);
  TVX_HANDLER(CommandExecute);
  TVX_HANDLER(PluginCreate);
  TVX_HANDLER(PluginDestroy);
  c.Description(kTestPlugInDescription);
}

void TTestPlugIn::PluginInitialize(TObject* sender, bool& allow) {
  seen_sender = sender;
  seen_host_object = HostObject();
  seen_host_application = HostApplication();
  seen_file_name = FileName();
  seen_allow_load = allow;
  PluginLog().push_back("OnInitialize");
  if (fail) throw EInvalidOperation("initialise failed");
  allow = allow_load;
}

void TTestPlugIn::PluginConfigure(TObject* sender) {
  PluginLog().push_back(std::string("OnConfigure") + (sender == this ? " from itself" : ""));
}

void TTestPlugIn::PluginMessage(TObject* sender, int32_t message, std::string text) {
  PluginLog().push_back("OnPluginMessage " + std::to_string(message) + " [" + text + "]" +
                        (sender == this ? " from itself" : ""));
}

void TTestPlugIn::CommandExecute(TObject* sender) {
  PluginLog().push_back("OnExecute from " + sender->ClassName());
}

void TTestPlugIn::PluginCreate(TObject* sender) {
  PluginLog().push_back("OnCreate " + static_cast<TComponent*>(sender)->Name() + ", " +
                        CommandState(this));
}

void TTestPlugIn::PluginDestroy(TObject*) {
  PluginLog().push_back("OnDestroy, " + CommandState(this));
}

TVX_IMPLEMENT_CLASS(TOldOrderPlugIn) { c.Description(kOldOrderPlugInDescription); }

TVX_IMPLEMENT_CLASS(TConfigurePlugIn) { c.Description(kConfigurePlugInDescription); }

int TUndescribedPlugIn::live = 0;

TVX_IMPLEMENT_CLASS(TUndescribedPlugIn) {}

TUndescribedPlugIn::TUndescribedPlugIn(TComponent* owner) : TJvPlugIn(owner) {
  ++live;
  Commands()->Add()->SetCaption("made before the failure");
}

TUndescribedPlugIn::~TUndescribedPlugIn() { --live; }

}  // namespace tvx::test
