#include "ui/controls/date_edit_text.h"

#include <gtest/gtest.h>

#include "support/format_settings_and_dates.h"

namespace tvx::test {
namespace {

TDateEditText EditorFor(std::string_view settings_name) {
  return TDateEditText(TDateMask(DateLayoutOf(Named(settings_name))));
}

// Runs a script of edits: digits and other printable characters are typed, '<' is Backspace,
// '>' is Delete, 'L' and 'R' move the caret, 'H' and 'E' go home and to the end, 'A'
// selects all.
void Apply(TDateEditText& editor, std::string_view script) {
  for (char c : script) {
    switch (c) {
      case '<':
        editor.Backspace();
        break;
      case '>':
        editor.Delete();
        break;
      case 'L':
        editor.MoveCaret(TCaretMove::Left, false);
        break;
      case 'R':
        editor.MoveCaret(TCaretMove::Right, false);
        break;
      case 'H':
        editor.MoveCaret(TCaretMove::Home, false);
        break;
      case 'E':
        editor.MoveCaret(TCaretMove::End, false);
        break;
      case 'A':
        editor.SelectAll();
        break;
      default:
        editor.Type(c);
        break;
    }
  }
}

TEST(DateEditText, TypingFillsBlanksLeftToRightSkippingSeparators) {
  struct Case {
    const char* settings;
    const char* start;  // text set first (caret at its start)
    const char* script;
    const char* text;
    std::size_t caret;
  };
  const Case kCases[] = {
      {"ru-RU", "", "31122012", "31.12.2012", 10},
      {"ru-RU", "", "3112", "31.12.    ", 6},
      {"ru-RU", "", "31", "31.  .    ", 3},
      {"ru-RU", "", "311220129999", "31.12.2012", 10},  // the layout is full
      {"ru-RU", "", "31.12.2012", "31.12.2012", 10},    // separators already passed: no effect
      {"ru-RU", "", "3.", "3 .  .    ", 1},             // ... only in front of one
      {"ru-RU", "", "3x1-", "31.  .    ", 3},           // other characters are ignored
      {"ru-RU-yy", "", "311212", "31.12.12", 8},
      {"en-US", "", "03052012", "03/05/2012", 10},
      {"en-US", "", "3/", "3 /  /    ", 1},
      {"ja-JP", "", "20120305", "2012/03/05", 10},
      // Typing overwrites; the caret can be placed anywhere first.
      {"ru-RU", "31.12.2012", "RRR07", "31.07.2012", 6},
      {"ru-RU", "31.12.2012", "RR0", "31.02.2012", 4},  // from the separator's place
      {"ru-RU", "31.12.2012", "E9", "31.12.2012", 10},  // at the end nothing fits
      // Selecting all and typing starts again from a blank text.
      {"ru-RU", "31.12.2012", "A1", "1 .  .    ", 1},
  };
  for (const Case& c : kCases) {
    TDateEditText editor = EditorFor(c.settings);
    editor.SetText(c.start);
    Apply(editor, c.script);
    EXPECT_EQ(editor.Text(), c.text) << c.settings << " " << c.script;
    EXPECT_EQ(editor.Caret(), c.caret) << c.settings << " " << c.script;
    EXPECT_EQ(editor.SelLength(), 0u) << c.settings << " " << c.script;
  }
}

TEST(DateEditText, BackspaceAndDeleteBlankPositionsWithoutClosingUp) {
  struct Case {
    const char* script;  // applied to "31.12.2012" with the caret at the end
    const char* text;
    std::size_t caret;
  };
  const Case kCases[] = {
      {"<", "31.12.201 ", 9},
      {"<<<<<", "31.1 .    ", 4},         // over the separator
      {"<<<<<<<<<<<<", "  .  .    ", 0},  // more than there is
      {"H>", " 1.12.2012", 0},
      {"H>>", " 1.12.2012", 0},   // the caret stays: Delete again blanks the same place
      {"HRR>", "31. 2.2012", 2},  // at a separator: the digit after it
      {"HRRR>R>", "31.  .2012", 4},
      {"A<", "  .  .    ", 0},
      {"A>", "  .  .    ", 0},
      {"H<", "31.12.2012", 0},   // nothing before the start
      {"E>", "31.12.2012", 10},  // nothing after the end
  };
  for (const Case& c : kCases) {
    TDateEditText editor = EditorFor("ru-RU");
    editor.SetText("31.12.2012");
    editor.MoveCaret(TCaretMove::End, false);
    Apply(editor, c.script);
    EXPECT_EQ(editor.Text(), c.text) << c.script;
    EXPECT_EQ(editor.Caret(), c.caret) << c.script;
  }
}

TEST(DateEditText, EditsReportWhetherTheTextChanged) {
  TDateEditText editor = EditorFor("ru-RU");
  EXPECT_FALSE(editor.Backspace());
  EXPECT_FALSE(editor.Delete());
  EXPECT_FALSE(editor.Type('x'));
  EXPECT_TRUE(editor.Type('1'));
  editor.MoveCaret(TCaretMove::Home, false);
  EXPECT_FALSE(editor.Type('1'));  // the same digit again
  EXPECT_TRUE(editor.Backspace());
}

TEST(DateEditText, SelectionWithShiftAndPartialSelectionIsBlanked) {
  TDateEditText editor = EditorFor("ru-RU");
  editor.SetText("31.12.2012");
  editor.MoveCaret(TCaretMove::Right, false);
  editor.MoveCaret(TCaretMove::Right, true);
  editor.MoveCaret(TCaretMove::Right, true);
  editor.MoveCaret(TCaretMove::Right, true);
  EXPECT_EQ(editor.SelStart(), 1u);
  EXPECT_EQ(editor.SelLength(), 3u);
  editor.Type('5');
  EXPECT_EQ(editor.Text(), "35. 2.2012");
  EXPECT_EQ(editor.Caret(), 3u);

  editor.Select(6, 100);
  EXPECT_EQ(editor.SelLength(), 4u);
  editor.MoveCaret(TCaretMove::Left, false);  // collapses to the selection's start
  EXPECT_EQ(editor.Caret(), 6u);
  EXPECT_EQ(editor.SelLength(), 0u);
}

TEST(DateEditText, SetTextKeepsOnlyDigitsAtDigitPositions) {
  TDateEditText editor = EditorFor("ru-RU");
  editor.SetText("3x/1a.20129999");
  EXPECT_EQ(editor.Text(), "3 .1 .2012");
  EXPECT_EQ(editor.Caret(), 0u);
}

TEST(DateEditText, ANewLayoutShowsTheSameDate) {
  TDateEditText editor = EditorFor("ru-RU");
  editor.SetText("05.03.2012");
  editor.SetMask(TDateMask(DateLayoutOf(Named("en-US"))));
  EXPECT_EQ(editor.Text(), "03/05/2012");
  editor.SetText("03/0");
  editor.SetMask(TDateMask(DateLayoutOf(Named("ru-RU"))));
  EXPECT_EQ(editor.Text(), "  .  .    ");  // no date to carry over
}

}  // namespace
}  // namespace tvx::test
