// The plug-in object that the host holds, over a plug-in of the component model: what
// Initialize hands the plug-in, and the references it keeps to the host's objects.
#include <gtest/gtest.h>

#include "com/bstr.h"
#include "host_objects.h"
#include "module_boundary/host_object_adapter.h"
#include "module_boundary/plugin_object.h"

namespace tvx::test {
namespace {

TEST(PluginObjectTest, InitializeHandsTheHostObjectToThePlugInAndHoldsItWhileItLives) {
  ComPtr<TestHostApplication> application = MakeHostObject<TestHostApplication>();
  ComPtr<TestMainForm> host_object = MakeHostObject<TestMainForm>();
  TJvPlugIn* plugin = Create<TJvPlugIn>(nullptr);
  auto* object = new PluginObject(plugin);
  const BStr file_name(u"C:\\Host\\Tavolex.plu");
  VARIANT_BOOL allow = VARIANT_FALSE;

  ASSERT_EQ(object->Initialize(host_object.Get(), application.Get(), file_name.Get(), &allow),
            S_OK);
  EXPECT_EQ(allow, VARIANT_TRUE);
  const auto* adapter = dynamic_cast<const THostObjectAdapter*>(plugin->HostObject());
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->Object(), static_cast<IUnknown*>(host_object.Get()));
  EXPECT_EQ(plugin->FileName(), "C:\\Host\\Tavolex.plu");
  EXPECT_EQ(host_object->References(), 2u);

  // A second Initialize without a host object: the plug-in has none, and the first one is
  // still held until the plug-in object goes.
  ASSERT_EQ(object->Initialize(nullptr, application.Get(), file_name.Get(), &allow), S_OK);
  EXPECT_EQ(plugin->HostObject(), nullptr);
  EXPECT_EQ(host_object->References(), 2u);

  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(host_object->References(), 1u);
  EXPECT_EQ(application->References(), 1u);
  EXPECT_TRUE(host_object->Calls().empty());
}

}  // namespace
}  // namespace tvx::test
