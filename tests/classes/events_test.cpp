#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "classes/events.h"
#include "classes/object.h"

namespace tvx::test {
namespace {

class TListener : public TObject {
 public:
  TObject* sender = nullptr;
  std::string received;
  TNotifyEvent* rebind = nullptr;

  void OnNotify(TObject* from) {
    sender = from;
    received += "notify;";
    if (rebind != nullptr) rebind->Clear();
  }
  void OnMessage(TObject* from, int32_t number, std::string text) {
    sender = from;
    received += std::to_string(number) + ":" + text + ";";
  }
  void OnQuery(TObject*, bool& allow) { allow = false; }
};

TEST(Events, FiringAnUnboundEventDoesNothing) {
  TNotifyEvent event;
  EXPECT_FALSE(event.Assigned());
  event.Fire(nullptr);
  TEvent<bool&> query;
  bool allow = true;
  query.Fire(nullptr, allow);
  EXPECT_TRUE(allow);
}

TEST(Events, ABoundHandlerReceivesTheSenderAndTheArgumentsUnchanged) {
  TOwned<TListener> listener = CreateOwned<TListener>();
  TOwned<TListener> sender = CreateOwned<TListener>();
  TEvent<int32_t, std::string> event;
  event.Bind(listener.get(), &TListener::OnMessage);
  EXPECT_TRUE(event.Assigned());
  EXPECT_EQ(event.Target(), listener.get());
  event.Fire(sender.get(), -7, "Экспорт");
  EXPECT_EQ(listener->sender, sender.get());
  EXPECT_EQ(listener->received, "-7:Экспорт;");
}

TEST(Events, AHandlerMayChangeAFlagPassedByReference) {
  TOwned<TListener> listener = CreateOwned<TListener>();
  TEvent<bool&> event;
  event.Bind(listener.get(), &TListener::OnQuery);
  bool allow = true;
  event.Fire(nullptr, allow);
  EXPECT_FALSE(allow);
}

TEST(Events, AHandlerMayClearTheEventItWasCalledThrough) {
  TOwned<TListener> listener = CreateOwned<TListener>();
  TNotifyEvent event;
  event.Bind(listener.get(), &TListener::OnNotify);
  listener->rebind = &event;
  event.Fire(nullptr);
  EXPECT_FALSE(event.Assigned());
  event.Fire(nullptr);
  EXPECT_EQ(listener->received, "notify;");
}

}  // namespace
}  // namespace tvx::test
