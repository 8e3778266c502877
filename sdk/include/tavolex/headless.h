// The test variant of the module (TavolexHeadless.plu on Windows, libtavolex_headless.so on
// Linux) shows no windows: its windows and message boxes live in a headless user interface, and
// it exports a second entry, GetHeadlessDriver, through which a test host plays the operator:
// it clicks, types, presses keys, closes windows, answers message boxes, reads what the
// windows show, and reads the records of every box shown and every move of the focus.
//
// Modal windows cannot wait for an operator, so the test host queues its actions beforehand:
// WhenModal(step) runs step->Run the next time a modal loop waits for input, with the name of
// the active form; from within Run the host acts through the driver. A modal loop with no step
// left, or a message box with no answer queued, ends the host's call into the module with a
// failure that says so. Control names are the component names within the active form.
#pragma once

#include "tavolex/com_types.h"
#include "tavolex/plugin.h"

namespace tavolex {

using ::IHeadlessDriver;
using ::IModalStep;

inline constexpr const IID& IID_IHeadlessDriver = IidOf<IHeadlessDriver>();
inline constexpr const IID& IID_IModalStep = IidOf<IModalStep>();

// Kinds of message box.
inline constexpr LONG kBoxWarning = 0;
inline constexpr LONG kBoxError = 1;
inline constexpr LONG kBoxInformation = 2;
inline constexpr LONG kBoxConfirmation = 3;

// Results of modal windows and answers to message boxes.
inline constexpr LONG kResultOk = 1;
inline constexpr LONG kResultCancel = 2;
inline constexpr LONG kResultYes = 6;
inline constexpr LONG kResultNo = 7;

// Modifier keys for Press.
inline constexpr LONG kShiftKey = 1;
inline constexpr LONG kCtrlKey = 2;
inline constexpr LONG kAltKey = 4;

// State bits of a control.
inline constexpr LONG kControlEnabled = 1;  // enabled itself
inline constexpr LONG kControlVisible = 2;  // visible itself
inline constexpr LONG kControlChecked = 4;  // a checked radio button
inline constexpr LONG kControlFocused = 8;  // the focused control of the active form

// IModalStep is implemented by the test host: one scripted step, whose Run is called with the
// active form's name when a modal loop waits for input (a failure ends the run). Failures of
// IHeadlessDriver's actions (no such control, a control that cannot be clicked, no form shown)
// come with error info that says what went wrong. GetBox and GetWindow read the records of
// every message box shown (kind, title, text, owner window, the answer given) and every window
// created (form name, handle, owner window); GetOwnApplicationCurrent tells whether the module's
// application object is its own (true) or a host's, GetPostedCount how many posted messages wait
// for the message loop (deferred releases of windows, for instance).

// The headless module's second exported entry (ordinal 2 on Windows): a new driver with one
// reference for the caller. All drivers act on the module's one headless user interface.
using GetHeadlessDriverFunction = ::TavolexGetHeadlessDriverFunction;
inline constexpr char kGetHeadlessDriverEntry[] = "GetHeadlessDriver";

}  // namespace tavolex
