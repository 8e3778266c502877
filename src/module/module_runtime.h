// The module's life in its host's process: what it sets up before its first entry call and what
// its unload hook does.
#pragma once

namespace tvx {

// Called by every exported entry; sets up once, in this order: the module's user interface (see
// user_interface.h: the windowed one in Tavolex.plu on Windows, else the headless one), its own
// application object, the list of hand-overs of the application object, and (on Linux) the
// unload hook. Static objects are destroyed in the reverse order of their making, so the hook
// runs while the others still exist, and the user interface goes last.
void StartModule();

// The unload hook (DllMain's process detach on Windows; on Linux the destructor of a static
// object that StartModule makes, since at process exit glibc runs destructor functions only
// after static objects are gone). It ends every hand-over of the application object that a
// plug-in object still holds (a host that unloads the module without destroying its plug-in
// objects), so that the module's own application object is current again and the teardown that
// follows frees that one only. Nothing here calls into the host. Does nothing before
// StartModule.
void ModuleUnloading();

}  // namespace tvx
