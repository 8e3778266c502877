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

// {2792E7D8-29AB-4850-9961-BB08AD025A0E}
inline constexpr IID IID_IHeadlessDriver = {
    0x2792E7D8, 0x29AB, 0x4850, {0x99, 0x61, 0xBB, 0x08, 0xAD, 0x02, 0x5A, 0x0E}};
// {63C26F1F-7D45-4FD0-A0E6-E58E49215683}
inline constexpr IID IID_IModalStep = {
    0x63C26F1F, 0x7D45, 0x4FD0, {0xA0, 0xE6, 0xE5, 0x8E, 0x49, 0x21, 0x56, 0x83}};

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

// Implemented by the test host: one scripted step.
struct IModalStep : public IUnknown {
  static constexpr const IID& kIid = IID_IModalStep;

  // A modal loop waits for input; form is the active form's name. A failure ends the run.
  virtual HRESULT STDMETHODCALLTYPE Run(BSTR form) = 0;
};

// Failures of the driver's actions (no such control, a control that cannot be clicked, no form
// shown) come with error info that says what went wrong.
struct IHeadlessDriver : public IUnknown {
  static constexpr const IID& kIid = IID_IHeadlessDriver;

  // Scripting.
  virtual HRESULT STDMETHODCALLTYPE WhenModal(IModalStep* step) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPendingSteps(LONG* count) = 0;
  // The answer (a kResult value) to the next message box.
  virtual HRESULT STDMETHODCALLTYPE AnswerBox(LONG answer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPendingAnswers(LONG* count) = 0;

  // Acting on the active form.
  virtual HRESULT STDMETHODCALLTYPE GetActiveForm(BSTR* form) = 0;  // empty: none shown
  virtual HRESULT STDMETHODCALLTYPE Click(BSTR control) = 0;
  virtual HRESULT STDMETHODCALLTYPE Type(BSTR text) = 0;
  // A key (a Windows virtual-key code) with modifiers (kShiftKey, kCtrlKey, kAltKey).
  virtual HRESULT STDMETHODCALLTYPE Press(USHORT key, LONG modifiers) = 0;
  virtual HRESULT STDMETHODCALLTYPE CloseBox() = 0;
  // Handles the messages posted meanwhile (deferred releases of windows, for instance), as the
  // host's message loop would.
  virtual HRESULT STDMETHODCALLTYPE ProcessMessages() = 0;

  // Reading the active form: a control's text (a date field's text, else its caption), its
  // state bits, and the focused control (empty: the form itself).
  virtual HRESULT STDMETHODCALLTYPE GetControlText(BSTR control, BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetControlState(BSTR control, LONG* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocus(BSTR* control) = 0;

  // Records: every message box shown (kind, title, text, owner window, the answer given), every
  // window created (form name, handle, owner window), every move of the focus.
  virtual HRESULT STDMETHODCALLTYPE GetBoxCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBox(LONG index, LONG* kind, BSTR* title, BSTR* text,
                                           WindowHandleValue* owner, LONG* answer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetWindowCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetWindow(LONG index, BSTR* form, WindowHandleValue* handle,
                                              WindowHandleValue* owner) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusChangeCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFocusChange(LONG index, BSTR* form, BSTR* control) = 0;

  // The module's state: whether its application object is its own (true) or a host's, and how
  // many posted messages wait for the message loop (deferred releases of windows, for instance).
  virtual HRESULT STDMETHODCALLTYPE GetOwnApplicationCurrent(VARIANT_BOOL* own) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPostedCount(LONG* count) = 0;
};

// The headless module's second exported entry (ordinal 2 on Windows): a new driver with one
// reference for the caller. All drivers act on the module's one headless user interface.
using GetHeadlessDriverFunction = IHeadlessDriver*(STDMETHODCALLTYPE*)();
inline constexpr char kGetHeadlessDriverEntry[] = "GetHeadlessDriver";

}  // namespace tavolex
