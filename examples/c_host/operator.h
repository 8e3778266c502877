/* The C host's operator: a thread that answers the module's export dialog as a person at the
 * keyboard would, so that the host can run the export without anyone there. It waits for the
 * dialog, presses its OK button, waits for the box that reports the outcome, keeps its text and
 * answers it. The export has succeeded when the dialog then closes by itself. */
#ifndef TAVOLEX_C_HOST_OPERATOR_H
#define TAVOLEX_C_HOST_OPERATOR_H

#include <windows.h>

typedef struct ExportOperator {
  HANDLE thread;
  HANDLE stop;          /* set by the host when Execute has returned: nothing more to wait for */
  DWORD timeout_ms;     /* for each window that it waits for */
  WCHAR box_title[128]; /* of the box that reported the outcome */
  WCHAR box_text[1024];
  char failure[256]; /* what went wrong, or empty */
} ExportOperator;

/* Starts the thread; false when it could not be started. */
BOOL StartExportOperator(ExportOperator* op, DWORD timeout_ms);
/* Tells the thread that Execute has returned, waits for it to end; false when the export did
 * not go through (op->failure says why). */
BOOL FinishExportOperator(ExportOperator* op);

#endif
