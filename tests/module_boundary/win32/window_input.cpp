#include "window_input.h"

#include <algorithm>
#include <cwctype>

#include "tavolex/host.h"

namespace tvx::test {

namespace {

struct ChildSearch {
  std::wstring_view class_name;
  std::vector<HWND> found;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

bool SameClass(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

}  // namespace

std::vector<HWND> FindChildren(HWND parent, std::wstring_view class_name) {
  ChildSearch search{class_name, {}};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<ChildSearch*>(param);
        if (SameClass(ClassOf(window), s->class_name)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChild(HWND parent, std::wstring_view class_name, std::wstring_view text) {
  for (HWND window : FindChildren(parent, class_name)) {
    if (WindowTextOf(window) == text) return window;
  }
  return nullptr;
}

std::string Utf8TextOf(HWND window) {
  const std::wstring text = WindowTextOf(window);
  return tavolex::ToUtf8(std::u16string(text.begin(), text.end()));
}

std::string BoxText(HWND box) {
  for (HWND label : FindChildren(box, L"Static")) {
    if (GetWindowTextLengthW(label) > 0) return Utf8TextOf(label);
  }
  return {};
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostMouseClick(HWND window, POINT point) {
  const LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(window, WM_LBUTTONUP, 0, where);
}

void PostKey(HWND window, UINT key) {
  const auto scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(window, WM_KEYDOWN, key, 1 | scan);
  PostMessageW(window, WM_KEYUP, key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

void PostText(HWND window, std::wstring_view text) {
  for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

}  // namespace tvx::test
