// The date field on a shown form, driven through the headless driver as an operator would
// use it: focus, typing, keys, clicks on its button, leaving it.
#include "ui/controls/date_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rtl/date_parse.h"
#include "rtl/exceptions.h"
#include "support/format_settings_and_dates.h"
#include "ui/controls/button.h"
#include "ui/core/form.h"
#include "ui/core/initialize_ui.h"
#include "ui/core/input.h"
#include "ui/headless/headless_driver.h"

namespace tvx::test {
namespace {

using headless::HeadlessDriver;

int ThisYear() {
  int year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  return year;
}

// A form with two date fields and a button, in that tab order; the fields take the layout of
// the format settings selected before Open.
class DateEditTest : public KeepFormatSettings {
 protected:
  void Open(std::string_view settings = "ru-RU") {
    ASSERT_TRUE(SelectFormatSettings(settings));
    InitializeUi();
    form = Create<TForm>(nullptr, kCreateNew);
    form->SetName("TestForm");
    first = Place<TJvDateEdit>("eFirst", 8);
    second = Place<TJvDateEdit>("eSecond", 40);
    button = Place<TButton>("btnGo", 72);
    button->OnClick().Bind(nullptr, [this](TObject*) { ++clicks; });
    first->OnChange().Bind(nullptr, [this](TObject*) { ++changes; });
    form->Show();
    ui.SetBoxAnswerer([](const headless::RecordedBox&) { return mrOk; });
  }

  void TearDown() override {
    Free(form);
    KeepFormatSettings::TearDown();
  }

  template <class T>
  T* Place(const std::string& name, int32_t top) {
    T* control = Create<T>(form);
    control->SetName(name);
    control->SetBounds(8, top, 99, 21);
    control->SetParent(form);
    return control;
  }

  // A click on the field's drop-down button.
  void ClickButton(TJvDateEdit& edit) {
    const TRect r = edit.ButtonRect();
    input::MouseDown(edit, TMouseButton::mbLeft, kNoShift, TPoint{r.left + 2, r.top + 2});
  }

  HeadlessDriver ui;
  TForm* form = nullptr;
  TJvDateEdit* first = nullptr;
  TJvDateEdit* second = nullptr;
  TButton* button = nullptr;
  int clicks = 0;
  int changes = 0;
};

TEST_F(DateEditTest, TypedDigitsFillTheLayoutOfTheShortDateFormat) {
  struct Case {
    const char* settings;
    const char* typed;
    const char* text;
    TDateTime date;
  };
  const int year = ThisYear();
  const Case kCases[] = {
      {"ru-RU", "31122012", "31.12.2012", At(2012, 12, 31)},
      {"en-US", "12312012", "12/31/2012", At(2012, 12, 31)},
      {"en-US", "02292012", "02/29/2012", At(2012, 2, 29)},
      {"ru-RU-yy", "311212", "31.12.12", At(ExpandTwoDigitYear(12, year), 12, 31)},
      {"ru-RU-yy", "010199", "01.01.99", At(ExpandTwoDigitYear(99, year), 1, 1)},
      {"ja-JP", "20121231", "2012/12/31", At(2012, 12, 31)},
  };
  for (const Case& c : kCases) {
    Open(c.settings);
    EXPECT_EQ(first->Text(), first->Mask().BlankText()) << c.settings;
    ui.Focus(*first);
    ui.Type(c.typed);
    EXPECT_EQ(first->Text(), c.text) << c.settings;
    EXPECT_EQ(first->Date(), c.date) << c.settings;
    ui.Press(kVkTab);
    EXPECT_EQ(ui.Focused(), second) << c.settings;
    EXPECT_TRUE(ui.Boxes().empty()) << c.settings;
    Free(form);
    form = nullptr;
  }
}

TEST_F(DateEditTest, SettingADateShowsItsDayAndNoDateShowsBlanks) {
  Open();
  first->SetDate(At(2012, 12, 31, 15, 45));
  EXPECT_EQ(first->Text(), "31.12.2012");
  EXPECT_EQ(first->Date(), At(2012, 12, 31));
  for (TDateTime none : {0.0, std::nan(""), MaxDate + 1, -1e12}) {
    first->SetDate(At(2012, 12, 31));
    first->SetDate(none);
    EXPECT_EQ(first->Text(), "  .  .    ") << none;
    EXPECT_EQ(first->Date(), 0) << none;
  }
  first->SetDate(At(1, 1, 1));
  EXPECT_EQ(first->Date(), At(1, 1, 1));  // no lowest date
  first->SetDate(At(9999, 12, 31));
  EXPECT_EQ(first->Date(), At(9999, 12, 31));  // nor a highest
}

TEST_F(DateEditTest, BlankPartialAndInvalidTextsReadAsNoDate) {
  Open();
  ui.Focus(*first);
  struct Case {
    const char* typed;  // after selecting all
    const char* text;
  };
  const Case kCases[] = {
      {"", "  .  .    "},         // blank: not today
      {"31", "31.  .    "},       // no month
      {"310220", "31.02.20  "},   // no such day
      {"3112201", "31.12.201 "},  // unfinished year
  };
  for (const Case& c : kCases) {
    first->Select(0, 10);
    ui.Press(kVkDelete);
    ui.Type(c.typed);
    EXPECT_EQ(first->Text(), c.text);
    EXPECT_EQ(first->Date(), 0) << c.text;
  }
}

TEST_F(DateEditTest, BackspaceAndDeleteKeysBlankPositions) {
  Open();
  first->SetDate(At(2012, 12, 31));
  ui.Focus(*first);  // selects all
  ui.Press(kVkEnd);
  ui.Press(kVkBack);
  ui.Press(kVkBack);
  EXPECT_EQ(first->Text(), "31.12.20  ");
  ui.Press(kVkHome);
  ui.Press(kVkDelete);
  EXPECT_EQ(first->Text(), " 1.12.20  ");
  ui.Press(kVkRight);
  ui.Press(kVkRight, kShift);
  ui.Press(kVkRight, kShift);
  ui.Press(kVkRight, kShift);
  ui.Press(kVkDelete);  // blanks the selection "1.1"
  EXPECT_EQ(first->Text(), "  . 2.20  ");
  ui.Type("0");
  EXPECT_EQ(first->Text(), " 0. 2.20  ");
}

TEST_F(DateEditTest, EnteringSelectsAllSoTypingReplacesTheDate) {
  Open();
  first->SetDate(At(2012, 12, 31));
  ui.Focus(*second);
  ui.Focus(*first);
  EXPECT_EQ(first->SelStart(), 0u);
  EXPECT_EQ(first->SelLength(), 10u);
  ui.Type("0102");
  EXPECT_EQ(first->Text(), "01.02.    ");
}

TEST_F(DateEditTest, LeavingInvalidTextReportsItAndKeepsTheFocus) {
  struct Case {
    const char* typed;
    const char* text;
  };
  const Case kCases[] = {
      {"31022012", "31.02.2012"},
      {"31", "31.  .    "},
      {"3112201", "31.12.201 "},
  };
  Open();
  for (const Case& c : kCases) {
    ui.Focus(*first);
    first->Select(0, 10);
    ui.Type(c.typed);
    const size_t boxes = ui.Boxes().size();

    ui.Press(kVkTab);  // leave by Tab
    ASSERT_EQ(ui.Boxes().size(), boxes + 1) << c.typed;
    // The application's error box, with the full stop it adds.
    EXPECT_EQ(ui.Boxes().back().text, "'" + std::string(c.text) + "' is not a valid date.");
    EXPECT_EQ(ui.Boxes().back().kind, TMsgDlgType::mtError);
    EXPECT_EQ(ui.Focused(), first);

    ui.Click(*button);  // leave by a click: the click does not happen
    EXPECT_EQ(ui.Boxes().size(), boxes + 2);
    EXPECT_EQ(ui.Focused(), first);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(first->Text(), c.text) << "the text is kept";
  }
  // Cleared, the field can be left.
  first->Select(0, 10);
  ui.Press(kVkDelete);
  ui.Press(kVkTab);
  EXPECT_EQ(ui.Focused(), second);
}

TEST_F(DateEditTest, LeavingShowsACompletedDateAsItWasRead) {
  Open();
  ui.Focus(*first);
  ui.Type("5");
  ui.Press(kVkRight);
  ui.Type("3");
  ui.Press(kVkRight);
  ui.Type("12");
  EXPECT_EQ(first->Text(), "5 .3 .12  ");
  ui.Press(kVkTab);
  const int year = ExpandTwoDigitYear(12, ThisYear());
  EXPECT_EQ(first->Text(), "05.03." + std::to_string(year));
  EXPECT_EQ(first->Date(), At(year, 3, 5));
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(DateEditTest, ChangesOfTheTextAreAnnounced) {
  Open();
  ui.Focus(*first);
  ui.Type("3");
  ui.Type("x");
  ui.Press(kVkLeft);
  EXPECT_EQ(changes, 1);
  ui.Press(kVkDelete);
  EXPECT_EQ(changes, 2);
  first->SetDate(At(2012, 1, 1));
  first->SetDate(At(2012, 1, 1));
  EXPECT_EQ(changes, 3);
}

TEST_F(DateEditTest, CalendarOpensOnTheFieldsDateAndAPickSetsIt) {
  Open();
  first->SetDate(At(2012, 12, 31));
  ui.Focus(*first);
  ui.Press(kVkDown, kAlt);
  ASSERT_TRUE(first->DroppedDown());
  EXPECT_EQ(first->Calendar().Selected(), At(2012, 12, 31));
  ui.Press(kVkRight);  // 1 January 2013
  ui.Press(kVkNext);   // 1 February
  ui.Press(kVkDown);   // 8 February
  ui.Type("7");        // typing while open changes nothing
  EXPECT_EQ(first->Text(), "31.12.2012");
  ui.Press(kVkReturn);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(first->Text(), "08.02.2013");
  EXPECT_EQ(first->Date(), At(2013, 2, 8));
  EXPECT_EQ(ui.Focused(), first);
}

TEST_F(DateEditTest, EscapeClosesTheCalendarWithoutChangeAndGoesNoFurther) {
  Open();
  button->SetCancel(true);
  first->SetDate(At(2012, 12, 31));
  ui.Focus(*first);
  ui.Press(kVkF4);
  ASSERT_TRUE(first->DroppedDown());
  ui.Press(kVkLeft);
  ui.Press(kVkEscape);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(first->Date(), At(2012, 12, 31));
  EXPECT_EQ(clicks, 0) << "the form's cancel button was not pressed";
  ui.Press(kVkEscape);  // with the calendar closed, Escape is the form's again
  EXPECT_EQ(clicks, 1);
}

TEST_F(DateEditTest, ButtonOpensTheCalendarOnTodayForABlankFieldAndADayClickPicks) {
  Open();
  ClickButton(*first);
  EXPECT_EQ(ui.Focused(), first);
  ASSERT_TRUE(first->DroppedDown());
  EXPECT_EQ(first->Calendar().Selected(), Date());
  first->ShowPreviousMonth();
  first->ShowNextMonth();
  first->ShowNextMonth();
  const TDateTime day = first->Calendar().DayAt(2, 3);
  first->PickDate(day);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(first->Date(), day);

  ClickButton(*first);
  ASSERT_TRUE(first->DroppedDown());
  ClickButton(*first);  // the button again closes it without change
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(first->Date(), day);
}

// At 144 pixels per inch the button is half as wide again, like the field, and still opens
// the calendar where the wider button begins.
TEST_F(DateEditTest, TheButtonScalesWithTheField) {
  Open();
  EXPECT_EQ(first->ButtonRect(), (TRect{99 - 21, 0, 99, 21}));
  first->ChangeScale(144, 96);
  EXPECT_EQ(first->Width(), 149);
  EXPECT_EQ(first->ButtonRect(), (TRect{149 - 32, 0, 149, 32}));
  input::MouseDown(*first, TMouseButton::mbLeft, kNoShift, TPoint{149 - 31, 2});
  EXPECT_TRUE(first->DroppedDown());
}

TEST_F(DateEditTest, LeavingWhileTheCalendarIsOpenClosesItWithoutChange) {
  Open();
  first->SetDate(At(2012, 12, 31));
  ui.Focus(*first);
  ui.Press(kVkDown, kAlt);
  ui.Press(kVkLeft);
  ui.Press(kVkTab);
  EXPECT_FALSE(first->DroppedDown());
  EXPECT_EQ(ui.Focused(), second);
  EXPECT_EQ(first->Date(), At(2012, 12, 31));
}

TEST_F(DateEditTest, ValidateEditRaisesTheConversionError) {
  Open();
  first->SetText("99.99.9999");
  try {
    first->ValidateEdit();
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'99.99.9999' is not a valid date");
  }
  first->SetText("");
  EXPECT_NO_THROW(first->ValidateEdit());
}

}  // namespace
}  // namespace tvx::test
