#include "operator.h"

#include <stdio.h>
#include <wchar.h>

/* The dialog's title and its button, as the module shows them. */
static const WCHAR kDialogTitle[] = L"Экспорт данных";
static const WCHAR kExportButton[] = L"ОК";
static const WCHAR kBoxClass[] = L"#32770";
static const DWORD kPollMs = 50;
/* How long a dialog may take to close after its box is answered. */
static const DWORD kSettleMs = 5000;

typedef struct Search {
  const WCHAR* text;       /* the window's text; NULL: any */
  const WCHAR* class_name; /* NULL: any */
  HWND exclude;
  HWND found;
} Search;

/* A window's text as it holds it, without a message to its thread, which may be busy. */
static void TextOf(HWND window, WCHAR* text, int size) {
  if (InternalGetWindowText(window, text, size) <= 0) text[0] = L'\0';
}

static BOOL Matches(HWND window, const Search* search) {
  WCHAR text[256];
  if (search->text != NULL) {
    TextOf(window, text, 256);
    if (wcscmp(text, search->text) != 0) return FALSE;
  }
  if (search->class_name != NULL) {
    if (GetClassNameW(window, text, 256) == 0 || wcscmp(text, search->class_name) != 0) {
      return FALSE;
    }
  }
  return window != search->exclude;
}

static BOOL CALLBACK FindTopWindow(HWND window, LPARAM data) {
  Search* search = (Search*)data;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (!Matches(window, search)) return TRUE;
  search->found = window;
  return FALSE;
}

static BOOL CALLBACK FindChildWindow(HWND window, LPARAM data) {
  Search* search = (Search*)data;
  if (!Matches(window, search)) return TRUE;
  search->found = window;
  return FALSE;
}

/* A shown top-level window of this process, waited for up to the operator's time-out. */
static HWND WaitForTop(const ExportOperator* op, const WCHAR* text, const WCHAR* class_name,
                       HWND exclude) {
  for (DWORD waited = 0; waited <= op->timeout_ms; waited += kPollMs) {
    Search search = {text, class_name, exclude, NULL};
    EnumWindows(FindTopWindow, (LPARAM)&search);
    if (search.found != NULL) return search.found;
    if (WaitForSingleObject(op->stop, kPollMs) == WAIT_OBJECT_0) break;
  }
  return NULL;
}

/* The texts of a box's static controls, one after the other. */
static void BoxText(HWND box, WCHAR* text, size_t size) {
  text[0] = L'\0';
  for (HWND child = GetWindow(box, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    WCHAR class_name[32];
    WCHAR part[512];
    if (GetClassNameW(child, class_name, 32) == 0 || _wcsicmp(class_name, L"Static") != 0) {
      continue;
    }
    TextOf(child, part, 512);
    if (part[0] == L'\0') continue;
    if (text[0] != L'\0') wcsncat(text, L" ", size - wcslen(text) - 1);
    wcsncat(text, part, size - wcslen(text) - 1);
  }
}

static DWORD WINAPI RunOperator(void* data) {
  ExportOperator* op = (ExportOperator*)data;
  HWND dialog = WaitForTop(op, kDialogTitle, NULL, NULL);
  if (dialog == NULL) {
    snprintf(op->failure, sizeof op->failure, "the export dialog did not open");
    return 1;
  }
  Search search = {kExportButton, L"Button", NULL, NULL};
  EnumChildWindows(dialog, FindChildWindow, (LPARAM)&search);
  if (search.found == NULL) {
    snprintf(op->failure, sizeof op->failure, "the export dialog has no OK button");
    return 1;
  }
  PostMessageW(search.found, BM_CLICK, 0, 0);

  /* The outcome: a box of the dialog class, whatever its title (the export's own, or an error
   * box titled by the host). */
  HWND box = WaitForTop(op, NULL, kBoxClass, dialog);
  if (box == NULL) {
    snprintf(op->failure, sizeof op->failure, "no box reported the export's outcome");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return 1;
  }
  TextOf(box, op->box_title, (int)(sizeof op->box_title / sizeof op->box_title[0]));
  BoxText(box, op->box_text, sizeof op->box_text / sizeof op->box_text[0]);
  HWND ok = GetDlgItem(box, IDOK);
  PostMessageW(ok != NULL ? ok : box, ok != NULL ? BM_CLICK : WM_CLOSE, 0, 0);
  /* A finished export closes the dialog once its box is answered; after an error the dialog
   * stays open for another try, and the operator cancels it so that Execute comes back. */
  DWORD waited = 0;
  for (; IsWindow(box) && waited <= op->timeout_ms; waited += kPollMs) Sleep(kPollMs);
  for (DWORD settled = 0; IsWindow(dialog) && IsWindowVisible(dialog) && settled <= kSettleMs;
       settled += kPollMs) {
    Sleep(kPollMs);
  }
  if (IsWindow(dialog) && IsWindowVisible(dialog)) {
    snprintf(op->failure, sizeof op->failure, "the dialog stayed open: nothing was exported");
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return 1;
  }
  return 0;
}

BOOL StartExportOperator(ExportOperator* op, DWORD timeout_ms) {
  op->timeout_ms = timeout_ms;
  op->box_title[0] = L'\0';
  op->box_text[0] = L'\0';
  op->failure[0] = '\0';
  op->stop = CreateEventW(NULL, TRUE, FALSE, NULL);
  if (op->stop == NULL) return FALSE;
  op->thread = CreateThread(NULL, 0, RunOperator, op, 0, NULL);
  if (op->thread == NULL) CloseHandle(op->stop);
  return op->thread != NULL;
}

BOOL FinishExportOperator(ExportOperator* op) {
  SetEvent(op->stop);
  WaitForSingleObject(op->thread, INFINITE);
  CloseHandle(op->stop);
  DWORD code = 1;
  GetExitCodeThread(op->thread, &code);
  CloseHandle(op->thread);
  return code == 0;
}
