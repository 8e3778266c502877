// The export history's record set in a test, with the Russian date format selected, opened on
// packets that the tests write.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "rtl/exceptions.h"
#include "rtl/format_settings.h"
#include "support/history_record_set.h"
#include "support/history_table.h"

namespace tvx::test {

class HistoryFixture : public ::testing::Test, public HistoryRecordSet {
 protected:
  void SetUp() override { ASSERT_TRUE(SelectFormatSettings("ru-RU")); }
};

// The message of the EDatabaseError that a call raises, or "(none)".
template <class F>
std::string DatabaseError(F&& call) {
  try {
    call();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(none)";
}

}  // namespace tvx::test
