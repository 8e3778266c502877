#include "module_boundary/headless_driver_object.h"

#include <cstdio>
#include <string>
#include <utility>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "export_plugin/host_interfaces.h"
#include "module_boundary/boundary_errors.h"
#include "rtl/text.h"
#include "ui/controls/date_edit.h"
#include "ui/controls/radio_button.h"
#include "ui/core/application.h"

namespace tvx {

namespace {

// Raises EInvalidArgument (E_INVALIDARG) unless 0 <= index < count.
std::size_t CheckedIndex(LONG index, std::size_t count) {
  if (index < 0 || static_cast<std::size_t>(index) >= count) {
    throw EInvalidArgument(E_INVALIDARG,
                           "List index out of bounds (" + std::to_string(index) + ")");
  }
  return static_cast<std::size_t>(index);
}

LONG Count(std::size_t count) { return static_cast<LONG>(count); }

// The message of a failed call of the host's, from its error info when it left one.
std::string HostFailureText(HRESULT status) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) == S_OK && info) {
    BStr description;
    info->GetDescription(description.Put());
    if (description.Length() > 0) return Utf16ToUtf8(description.View());
  }
  char code[16];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(status));
  return std::string("status ") + code;
}

}  // namespace

HRESULT HeadlessDriverObject::WhenModal(tavolex::IModalStep* step) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    Required(step);
    // The step may run after this object is gone: it refers to the module's driver only.
    headless::HeadlessDriver& driver = driver_;
    driver.WhenModal([&driver, step = ComPtr<tavolex::IModalStep>(step)](TCustomForm& form) {
      const HRESULT status = step->Run(BStr(Utf8ToUtf16(form.Name())).Get());
      if (FAILED(status)) {
        driver.Backend().Fail("the scripted step for form '" + form.Name() +
                              "' failed: " + HostFailureText(status));
      }
    });
  });
}

HRESULT HeadlessDriverObject::GetPendingSteps(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.Backend().PendingSteps()); });
}

HRESULT HeadlessDriverObject::AnswerBox(LONG answer) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { driver_.AnswerBox(static_cast<TModalResult>(answer)); });
}

HRESULT HeadlessDriverObject::GetPendingAnswers(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.Backend().PendingAnswers()); });
}

HRESULT HeadlessDriverObject::GetActiveForm(BSTR* form) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const TCustomForm* active = tvx::ActiveForm();
    OutText(form, active != nullptr ? active->Name() : std::string());
  });
}

HRESULT HeadlessDriverObject::Click(BSTR control) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] { driver_.Click(InText(control)); });
}

HRESULT HeadlessDriverObject::Type(BSTR text) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] { driver_.Type(InText(text)); });
}

HRESULT HeadlessDriverObject::Press(USHORT key, LONG modifiers) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const ShiftState shift{(modifiers & tavolex::kShiftKey) != 0,
                           (modifiers & tavolex::kCtrlKey) != 0,
                           (modifiers & tavolex::kAltKey) != 0};
    driver_.Press(key, shift);
  });
}

HRESULT HeadlessDriverObject::CloseBox() {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] { driver_.CloseBox(); });
}

HRESULT HeadlessDriverObject::ProcessMessages() {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] { driver_.ProcessMessages(); });
}

HRESULT HeadlessDriverObject::GetControlText(BSTR control, BSTR* text) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    TControl& found = driver_.Find(InText(control));
    if (const auto* date = dynamic_cast<const TJvDateEdit*>(&found)) {
      OutText(text, date->Text());
    } else {
      OutText(text, found.Caption());
    }
  });
}

HRESULT HeadlessDriverObject::GetControlState(BSTR control, LONG* state) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    *Required(state) = 0;
    TControl& found = driver_.Find(InText(control));
    LONG bits = 0;
    if (found.Enabled()) bits |= tavolex::kControlEnabled;
    if (found.Visible()) bits |= tavolex::kControlVisible;
    if (const auto* radio = dynamic_cast<const TRadioButton*>(&found); radio && radio->Checked()) {
      bits |= tavolex::kControlChecked;
    }
    if (driver_.Focused() == &found) bits |= tavolex::kControlFocused;
    *state = bits;
  });
}

HRESULT HeadlessDriverObject::GetFocus(BSTR* control) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const TWinControl* focused = driver_.Focused();
    OutText(control, focused != nullptr ? focused->Name() : std::string());
  });
}

HRESULT HeadlessDriverObject::GetBoxCount(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.Boxes().size()); });
}

HRESULT HeadlessDriverObject::GetBox(LONG index, LONG* kind, BSTR* title, BSTR* text,
                                     tavolex::WindowHandleValue* owner, LONG* answer) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const headless::RecordedBox& box = driver_.Boxes()[CheckedIndex(index, driver_.Boxes().size())];
    *Required(kind) = static_cast<LONG>(box.kind);
    *Required(owner) = box.owner;
    *Required(answer) = box.answer;
    OutTexts(title, box.title, text, box.text);
  });
}

HRESULT HeadlessDriverObject::GetWindowCount(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.Backend().Windows().size()); });
}

HRESULT HeadlessDriverObject::GetWindow(LONG index, BSTR* form, tavolex::WindowHandleValue* handle,
                                        tavolex::WindowHandleValue* owner) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const auto& windows = driver_.Backend().Windows();
    const headless::WindowRecord& window = windows[CheckedIndex(index, windows.size())];
    *Required(handle) = window.handle;
    *Required(owner) = window.owner;
    OutText(form, window.form);
  });
}

HRESULT HeadlessDriverObject::GetFocusChangeCount(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.FocusChanges().size()); });
}

HRESULT HeadlessDriverObject::GetFocusChange(LONG index, BSTR* form, BSTR* control) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    const auto& changes = driver_.FocusChanges();
    const headless::FocusRecord& change = changes[CheckedIndex(index, changes.size())];
    OutTexts(form, change.form, control, change.control);
  });
}

HRESULT HeadlessDriverObject::GetOwnApplicationCurrent(VARIANT_BOOL* own) {
  return Guarded(tavolex::IID_IHeadlessDriver, [&] {
    *Required(own) = Application() == ModuleApplication() ? VARIANT_TRUE : VARIANT_FALSE;
  });
}

HRESULT HeadlessDriverObject::GetPostedCount(LONG* count) {
  return Guarded(tavolex::IID_IHeadlessDriver,
                 [&] { *Required(count) = Count(driver_.Backend().PostedCount()); });
}

}  // namespace tvx
