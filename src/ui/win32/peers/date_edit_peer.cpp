#include "ui/win32/peers/date_edit_peer.h"

#include <algorithm>
#include <string>

#include <vssym32.h>

#include "ui/win32/accessibility/accessible_names.h"
#include "ui/win32/backend/gdi_cache.h"
#include "ui/win32/backend/win32_backend.h"

namespace tvx::win32 {

namespace {

// Width of the sunken border around the field.
constexpr int kBorder = 2;
// More month steps than this in one notification are not a user's click.
constexpr int kMaxMonthSteps = 12 * 200;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

DateEditPeer::DateEditPeer(Win32Backend& backend, TJvDateEdit& edit)
    : PaintedPeer(backend, edit, Background::kPaintCovers) {}

DateEditPeer::~DateEditPeer() { EndAccessibility(); }

WindowKind DateEditPeer::Kind() const {
  return {.class_name = L"TavolexDateEdit", .own_class = true};
}

AccessibleItem DateEditPeer::Describe(const AccessiblePath& /*path*/) const {
  AccessibleItem item =
      MakeAccessibleItem(ROLE_SYSTEM_TEXT, LabelBefore(Control()), STATE_SYSTEM_FOCUSABLE);
  item.value = Edit().Text();
  return item;
}

void DateEditPeer::Created() {
  SetWindowTextW(Hwnd(), Wide(Edit().Text()).c_str());
  SyncDropDown();
}

void DateEditPeer::Changed(ControlChange change) {
  if (Hwnd() == nullptr) return;
  switch (change) {
    case ControlChange::Text:
      SetWindowTextW(Hwnd(), Wide(Edit().Text()).c_str());
      InvalidateRect(Hwnd(), nullptr, FALSE);
      PlaceCaret();
      RaiseAccessible(EVENT_OBJECT_VALUECHANGE);
      break;
    case ControlChange::Content:
      SyncDropDown();
      InvalidateRect(Hwnd(), nullptr, FALSE);
      PlaceCaret();
      break;
    case ControlChange::Font:
      PaintedPeer::Changed(change);
      PlaceCaret();
      break;
    case ControlChange::Visible:
    case ControlChange::Enabled:
      PaintedPeer::Changed(change);
      InvalidateRect(Hwnd(), nullptr, FALSE);
      SyncDropDown();
      break;
    default:
      PaintedPeer::Changed(change);
      break;
  }
}

HFONT DateEditPeer::Font() const { return Backend().Gdi().Font(*Edit().Font()); }

int DateEditPeer::TextWidth(HDC dc, const std::wstring& text, size_t count) const {
  count = std::min(count, text.size());
  if (count == 0) return 0;
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(count), &size);
  return size.cx;
}

int DateEditPeer::TextTop(HDC dc, int* height) const {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT client;
  GetClientRect(Hwnd(), &client);
  *height = metrics.tmHeight;
  return std::max(kBorder, static_cast<int>(client.bottom - metrics.tmHeight) / 2);
}

void DateEditPeer::SyncDropDown() {
  TJvDateEdit& edit = Edit();
  const bool wanted = edit.DroppedDown() && IsWindowVisible(Hwnd());
  if (wanted) {
    if (popup_ != nullptr) {
      popup_->Show(edit.Calendar());
      return;
    }
    CalendarPopup::Handlers handlers;
    handlers.picked = [this](TDateTime day) { Edit().PickDate(day); };
    handlers.month_moved = [this](int months) {
      months = std::clamp(months, -kMaxMonthSteps, kMaxMonthSteps);
      for (; months > 0; --months) Edit().ShowNextMonth();
      for (; months < 0; ++months) Edit().ShowPreviousMonth();
    };
    handlers.dismissed = [this] { Edit().CloseUp(false); };
    popup_ = std::make_unique<CalendarPopup>(Backend(), Hwnd(), Font(), edit.Calendar(),
                                             std::move(handlers));
    return;
  }
  if (popup_ == nullptr) return;
  popup_.reset();
  // The calendar's year field may have held the focus: it comes back to the field.
  if (edit.Focused() && GetFocus() != Hwnd() && GetActiveWindow() == GetAncestor(Hwnd(), GA_ROOT)) {
    Backend().SetNativeFocus(Hwnd());
  }
}

void DateEditPeer::PlaceCaret() {
  if (GetFocus() != Hwnd()) return;
  const std::wstring text = Wide(Edit().Text());
  HDC dc = GetDC(Hwnd());
  const HGDIOBJ previous = SelectObject(dc, Font());
  int height = 0;
  const int top = TextTop(dc, &height);
  const int x = kTextMargin + TextWidth(dc, text, Edit().Caret());
  SelectObject(dc, previous);
  ReleaseDC(Hwnd(), dc);
  CreateCaret(Hwnd(), nullptr, 1, height);
  SetCaretPos(x, top);
  ShowCaret(Hwnd());
  has_caret_ = true;
}

void DateEditPeer::Paint(HDC target) {
  RECT client;
  GetClientRect(Hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  const HGDIOBJ previous_bitmap = SelectObject(dc, bitmap);
  const HGDIOBJ previous_font = SelectObject(dc, Font());

  const TJvDateEdit& edit = Edit();
  const bool enabled = edit.Enabled();
  RECT inner{kBorder, kBorder, width - kBorder, height - kBorder};
  Fill(dc, client, GetSysColor(COLOR_BTNFACE));
  Fill(dc, inner, enabled ? ColorRef(edit.Color()) : GetSysColor(COLOR_BTNFACE));
  RECT edge = client;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);

  const TRect model_button = edit.ButtonRect();
  RECT button{std::max(kBorder, model_button.left), kBorder, width - kBorder, height - kBorder};
  RECT text_area{kBorder, kBorder, button.left, height - kBorder};

  // The layout's characters are ASCII (digits, blanks, the separator), so the model's byte
  // positions are character positions.
  const std::wstring text = Wide(edit.Text());
  int text_height = 0;
  const int top = TextTop(dc, &text_height);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? ColorRef(edit.Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  ExtTextOutW(dc, kTextMargin, top, ETO_CLIPPED, &text_area, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
  if (edit.Focused() && edit.SelLength() > 0) {
    const size_t start = std::min(edit.SelStart(), text.size());
    const size_t end = std::min(edit.SelStart() + edit.SelLength(), text.size());
    const int left = kTextMargin + TextWidth(dc, text, start);
    const int right = kTextMargin + TextWidth(dc, text, end);
    RECT selection{std::max(left, static_cast<int>(text_area.left)), top,
                   std::min(right, static_cast<int>(text_area.right)), top + text_height};
    if (selection.right > selection.left) {
      Fill(dc, selection, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      ExtTextOutW(dc, left, top, ETO_CLIPPED, &selection, text.c_str() + start,
                  static_cast<UINT>(end - start), nullptr);
    }
  }

  if (button.right > button.left) {
    const int themed_state =
        !enabled ? CBXS_DISABLED : (edit.DroppedDown() ? CBXS_PRESSED : CBXS_NORMAL);
    if (!theme_.DrawBackground(Hwnd(), dc, CP_DROPDOWNBUTTON, themed_state, button)) {
      UINT state = DFCS_SCROLLCOMBOBOX;
      if (edit.DroppedDown()) state |= DFCS_PUSHED;
      if (!enabled) state |= DFCS_INACTIVE;
      DrawFrameControl(dc, &button, DFC_SCROLL, state);
    }
  }

  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, previous_font);
  SelectObject(dc, previous_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

LRESULT DateEditPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      InvalidateRect(Hwnd(), nullptr, FALSE);
      break;
    case WM_SETFOCUS:
      PlaceCaret();
      InvalidateRect(Hwnd(), nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS: {
      if (has_caret_) {
        DestroyCaret();
        has_caret_ = false;
      }
      InvalidateRect(Hwnd(), nullptr, FALSE);
      // The focus went to another program or window: the calendar closes without change.
      // (Within the form, the model closes it itself when the field is left.)
      const HWND next = reinterpret_cast<HWND>(wparam);
      if (popup_ != nullptr && !popup_->Contains(next)) Edit().CloseUp(false);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(Hwnd(), &point);
        const bool over_button = point.x >= Edit().ButtonRect().left;
        SetCursor(
            LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(over_button ? IDC_ARROW : IDC_IBEAM)));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return PaintedPeer::OnMessage(message, wparam, lparam);
}

}  // namespace tvx::win32
