// Finding the module's windows as an operator sees them (by class and text) and giving them
// input as the operator does: posted messages, handled by whichever loop runs.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/thread_windows.h"

namespace tvx::test {

// A child window (at any depth) of parent with this class (in any case) and text; null when
// there is none.
HWND FindChild(HWND parent, std::wstring_view class_name, std::wstring_view text);
// Every child window (at any depth) of parent with this class.
std::vector<HWND> FindChildren(HWND parent, std::wstring_view class_name);

std::string Utf8TextOf(HWND window);
// The text of a message box: its one static text that is not empty.
std::string BoxText(HWND box);
bool Checked(HWND button);

// A mouse click on a button (BM_CLICK: its own pressing and releasing).
void PostClick(HWND button);
// The left mouse button pressed and released at a point of window's client area.
void PostMouseClick(HWND window, POINT point);
// A key pressed and released on the window (which has the focus).
void PostKey(HWND window, UINT key);
// Characters typed into the window (which has the focus).
void PostText(HWND window, std::wstring_view text);

}  // namespace tvx::test
