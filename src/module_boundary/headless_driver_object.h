// IHeadlessDriver: the module's headless user interface offered to a test host, which plays the
// operator through it (see tavolex/headless.h).
#pragma once

#include "module_boundary/com_object.h"
#include "tavolex/headless.h"
#include "ui/headless/headless_driver.h"

namespace tvx {

class HeadlessDriverObject final : public ComObject<tavolex::IHeadlessDriver> {
 public:
  // Acts on driver, which outlives the object. One reference, which the caller owns.
  explicit HeadlessDriverObject(headless::HeadlessDriver& driver) : driver_(driver) {}

  HRESULT STDMETHODCALLTYPE WhenModal(tavolex::IModalStep* step) override;
  HRESULT STDMETHODCALLTYPE GetPendingSteps(LONG* count) override;
  HRESULT STDMETHODCALLTYPE AnswerBox(LONG answer) override;
  HRESULT STDMETHODCALLTYPE GetPendingAnswers(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetActiveForm(BSTR* form) override;
  HRESULT STDMETHODCALLTYPE Click(BSTR control) override;
  HRESULT STDMETHODCALLTYPE Type(BSTR text) override;
  HRESULT STDMETHODCALLTYPE Press(USHORT key, LONG modifiers) override;
  HRESULT STDMETHODCALLTYPE CloseBox() override;
  HRESULT STDMETHODCALLTYPE ProcessMessages() override;
  HRESULT STDMETHODCALLTYPE GetControlText(BSTR control, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE GetControlState(BSTR control, LONG* state) override;
  HRESULT STDMETHODCALLTYPE GetFocus(BSTR* control) override;
  HRESULT STDMETHODCALLTYPE GetBoxCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetBox(LONG index, LONG* kind, BSTR* title, BSTR* text,
                                   tavolex::WindowHandleValue* owner, LONG* answer) override;
  HRESULT STDMETHODCALLTYPE GetWindowCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetWindow(LONG index, BSTR* form, tavolex::WindowHandleValue* handle,
                                      tavolex::WindowHandleValue* owner) override;
  HRESULT STDMETHODCALLTYPE GetFocusChangeCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetFocusChange(LONG index, BSTR* form, BSTR* control) override;
  HRESULT STDMETHODCALLTYPE GetOwnApplicationCurrent(VARIANT_BOOL* own) override;
  HRESULT STDMETHODCALLTYPE GetPostedCount(LONG* count) override;

 private:
  ~HeadlessDriverObject() override = default;

  headless::HeadlessDriver& driver_;
};

}  // namespace tvx
