// Makes the control layer ready: registers its classes (so that stored descriptions can
// name them) and routes exceptions from creation and destruction events to the
// application's exception handling. Idempotent; forms and Application() call it.
#pragma once

namespace tvx {

void InitializeUi();

}  // namespace tvx
