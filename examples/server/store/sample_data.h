// The sample database that the server creates on its first start: a few dozen staff with
// their vacations and extra pay over the last years, and about three years of monthly exports
// in the history. The data follow from `now` alone, so two servers started on the same day
// create the same rows.
#pragma once

#include "rtl/datetime.h"
#include "server/store/sqlite.h"

namespace tvx::example {

void FillSampleData(Database& db, TDateTime now);

}  // namespace tvx::example
