// A form shown with real windows through the Windows backend (at 96 pixels per inch, the
// Russian date format pinned, the application titled "Tavolex"), for the tests of the peers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/format_settings_and_dates.h"
#include "ui/core/application.h"
#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::test {

class NativeFormTest : public KeepFormatSettings {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SelectFormatSettings("ru-RU"));
    InitializeUi();
    saved_title_ = Application()->Title();
    Application()->SetTitle("Tavolex");
    form = Create<TForm>(nullptr, kCreateNew);
    form->SetName("TestForm");
    form->SetBounds(40, 40, 480, 400);
  }

  void TearDown() override {
    Free(form);
    UiBackend().ProcessMessages();
    Application()->SetTitle(saved_title_);
    KeepFormatSettings::TearDown();
  }

  template <class T>
  T* Place(const std::string& name, int left, int top, int width, int height) {
    T* control = Create<T>(form);
    control->SetName(name);
    control->SetBounds(left, top, width, height);
    control->SetParent(form);
    return control;
  }

  static HWND HandleOf(const TControl* control) {
    return control->Peer() != nullptr ? win32::AsHwnd(control->Peer()->Handle()) : nullptr;
  }

  win32::Win32UserInterface ui{win32::Win32Options{96}};
  TForm* form = nullptr;

 private:
  std::string saved_title_;
};

}  // namespace tvx::test
