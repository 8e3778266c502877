// The module's life in its host's process: what it sets up before its first entry call, what it
// does when its last plug-in object goes, and what its unload hook does.
#pragma once

namespace tvx {

// Called by every exported entry; sets up once, in this order: its own application object, the
// list of hand-overs of the application object, and (on Linux) the unload hook. Static objects
// are destroyed in the reverse order of their making, so the hook runs while the others still
// exist. The user interface (see user_interface.h: the windowed one in Tavolex.plu on Windows,
// else the headless one) is started first, at each call that finds it stopped.
void StartModule();

// The plug-in objects that the host holds. When the last one goes, nothing of the module runs
// until the host calls an entry again, and the host may unload the library next without running
// its message loop. PluginObjectGoing (at the start of a plug-in object's destruction) counts it
// out, and for the last one frees the forms whose release is still waiting for the message loop,
// so that what they hold of the host (the connection to its application server) goes back to it
// now; it returns whether the object was the last. LastPluginObjectGone (once that object is
// destroyed) stops the user interface: its windows and window classes go while no loader lock
// is held.
void PluginObjectMade();
bool PluginObjectGoing();
void LastPluginObjectGone();

// The unload hook (DllMain's process detach on Windows; on Linux the destructor of a static
// object that StartModule makes, since at process exit glibc runs destructor functions only
// after static objects are gone). It ends every hand-over of the application object that a
// plug-in object still holds (a host that unloads the module without destroying its plug-in
// objects), so that the module's own application object is current again and the teardown that
// follows frees that one only. When the library is unloaded while the process goes on, it first
// frees the forms whose release is still waiting (a host that unloads before its message loop
// has run again gets its connection back); when the process is ending, the host's objects may
// be gone already, and those forms are left to the system. Nothing else here calls into the
// host, and nothing here takes windows, window classes or libraries away, which must not be done
// under the loader lock (see user_interface.h). Does nothing before StartModule.
enum class Unloading { kLibrary, kProcessExit };
void ModuleUnloading(Unloading unloading);

}  // namespace tvx
