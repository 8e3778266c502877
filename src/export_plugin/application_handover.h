// The hand-over of the module's application object to the hosts of its plug-in objects.
//
// While a plug-in object is initialised, the module's application object is its host's. Each
// plug-in object hands over on its own behalf and takes back on its own behalf, in any order:
// the application object current is always that of the most recent hand-over still in force,
// or the module's own when none is. (Had each plug-in object merely put back the object that
// was current when it was initialised, plug-in objects destroyed in the order of their
// initialisation would leave behind an application object already gone.)
#pragma once

namespace tvx {

class TApplication;

// Makes application current on behalf of holder; a holder that had handed over before is
// replaced, and its hand-over becomes the most recent one.
void HandOverApplication(const void* holder, TApplication* application);
// Ends holder's hand-over, if it has one.
void TakeBackApplication(const void* holder);
// Ends every hand-over: the module's own application object is current again. For the module's
// unloading, which must not leave (or tear down) a host's application object.
void EndApplicationHandovers();
// Whether a hand-over is in force.
bool ApplicationHandedOver();

}  // namespace tvx
