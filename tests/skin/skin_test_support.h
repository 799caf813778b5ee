#pragma once
// Real top-level windows and controls for the skin's tests under Wine, and
// the module state reset between tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The message log of the test form's own procedure.
struct FormLog {
  int destroys = 0;
  std::vector<WORD> clicked_ids;
  // Called inside WM_COMMAND (BN_CLICKED), i.e. while the click is delivered.
  std::function<void(HWND button)> on_click;
};
extern FormLog g_form_log;

// A visible window of class "Form", which the skin treats as a host: a child
// of one lasting top-level window, or an active top-level window of its own
// where activation matters.
HWND CreateForm(int client_width = 400, int client_height = 200, bool top_level = false);
// A child control with the default GUI font, as dialogs have.
HWND CreateControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x,
                   int y, int width, int height, int id = 0, DWORD ex_style = 0);
HWND CreateButton(HWND parent, const wchar_t* caption, int x, int y, int width, int height,
                  DWORD style = BS_PUSHBUTTON, int id = 0);

// Dispatches everything pending.
void Pump();
// Pumps until `done` holds or `timeout_ms` passed (a safety net against
// hangs, not a timing check). Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 5000);

bool HasProp(HWND hwnd, const wchar_t* name);
std::intptr_t PropValue(HWND hwnd, const wchar_t* name);
// All the skin's property names present on the window.
std::vector<std::wstring> SkinPropsOn(HWND hwnd);

// Screen pixel of a window, read through its window DC.
COLORREF ScreenPixel(HWND hwnd, int x, int y);

// Destroys the windows a test made and checks the module is back at rest.
class SkinTest : public ::testing::Test {
 protected:
  void TearDown() override;
  HWND form_ = nullptr;
};
