// Measures the history view's grid with real windows: the view is opened over a history of
// 1,000 and of 1,000,000 rows (fetched through the export dialog as the module does), and
// the current row is moved from the first row to the last in equal steps, each step followed
// by a synchronous repaint. Prints the time per frame (moving plus painting, and painting
// alone) for both sizes and their ratio, which stays near 1 when the cost of a picture does
// not depend on the number of rows.
//
//   ui_grid_paint_bench.exe [frames]        (default 1000 frames a size)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dialogs/export_history_form.h"
#include "dialogs/export_options_dialog.h"
#include "rtl/format_settings.h"
#include "support/history_table.h"
#include "support/test_app_server.h"
#include "support/test_remote_server.h"
#include "ui/core/application.h"
#include "ui/core/input.h"
#include "ui/win32/backend/win32_backend.h"
#include "ui/win32/data/grid_painter.h"

namespace tvx::bench {
namespace {

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// The history view opened over a history of `rows` exports, as the export dialog opens it.
class View {
 public:
  explicit View(int rows) : rows_(rows) {
    std::vector<test::HistoryRow> history;
    history.reserve(static_cast<size_t>(rows));
    const TDateTime first = EncodeDate(2012, 1, 1);
    for (int i = 0; i < rows; ++i) {
      const double day = first + i * 0.001 + EncodeTime(9, 30, 0);
      history.push_back({i + 1, day, std::floor(day) - 7, std::floor(day) - 1});
    }
    server_ = test::TestAppServer::Create();
    server_->SetPacket(test::HistoryTable(history));
    connection_ = Create<test::TTestRemoteServer>(nullptr);
    connection_->SetServer(server_);
    dialog_ = Create<TExport1CConfigDlg>(nullptr);
    const double start = Seconds();
    dialog_->SetConnection(connection_);
    std::printf("%9d rows: history fetched and ordered in %.0f ms\n", rows,
                (Seconds() - start) * 1000);
    view_ = Create<TExportHistoryForm>(nullptr);
    view_->SetDataSet(dialog_->cdsExportHistory);
    view_->Show();
    UiBackend().ProcessMessages();
    window_ = win32::AsHwnd(view_->DBGrid1->Peer()->Handle());
    UpdateWindow(window_);
    RECT client;
    GetClientRect(window_, &client);
    size_ = SIZE{client.right, client.bottom};
    HDC screen = GetDC(window_);
    memory_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, size_.cx, size_.cy);
    ReleaseDC(window_, screen);
    previous_ = SelectObject(memory_, bitmap_);
  }

  ~View() {
    SelectObject(memory_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    Free(view_);
    Free(dialog_);
    Free(connection_);
    UiBackend().ProcessMessages();
  }

  int Rows() const { return rows_; }
  TDBGrid& Grid() { return *view_->DBGrid1; }

  // Frame k of `frames` from the first row to the last: the current row moved there and the
  // grid repainted; then the repaint alone, and the drawing alone (off-screen, without the
  // window system's part).
  void Frame(int k, int frames) {
    const int row = 1 + static_cast<int>(static_cast<int64_t>(rows_ - 1) * k / (frames - 1));
    const double start = Seconds();
    Grid().MoveToRow(row);
    UpdateWindow(window_);
    const double moved = Seconds();
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
    const double painted = Seconds();
    win32::PaintGrid(Grid(), memory_, size_, static_cast<win32::Win32Backend&>(UiBackend()).Gdi());
    GdiFlush();
    const double drawn = Seconds();
    frame_us.push_back((moved - start) * 1e6);
    repaint_us.push_back((painted - moved) * 1e6);
    draw_us.push_back((drawn - painted) * 1e6);
  }

  // Page Down pressed as the operator presses it, and the grid repainted.
  void PageDown() {
    const double start = Seconds();
    input::KeyDown(*view_, kVkNext, kNoShift);
    UpdateWindow(window_);
    page_us.push_back((Seconds() - start) * 1e6);
  }

  void Home() { input::KeyDown(*view_, kVkHome, kCtrl); }

  std::vector<double> frame_us, repaint_us, draw_us, page_us;

 private:
  int rows_;
  ComPtr<test::TestAppServer> server_;
  test::TTestRemoteServer* connection_ = nullptr;
  TExport1CConfigDlg* dialog_ = nullptr;
  TExportHistoryForm* view_ = nullptr;
  HWND window_ = nullptr;
  SIZE size_{};
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

int Main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
  SelectFormatSettings("ru-RU");
  win32::Win32UserInterface backend;
  View small(1000);
  View large(1000000);
  View* views[] = {&small, &large};
  // The two views take turns, frame by frame, so that both see the same load of the machine.
  for (int k = 0; k < frames; ++k) {
    for (View* view : views) view->Frame(k, frames);
  }
  for (View* view : views) view->Home();
  for (int i = 0; i < 50; ++i) {
    for (View* view : views) view->PageDown();
  }
  for (View* view : views) {
    std::printf(
        "%9d rows: %d frames first to last row, medians: %.0f us a frame (moving and "
        "repainting), repaint %.0f us, drawing alone %.0f us; Page Down %.0f us\n",
        view->Rows(), frames, Median(view->frame_us), Median(view->repaint_us),
        Median(view->draw_us), Median(view->page_us));
  }
  std::printf(
      "ratio 1,000,000 / 1,000 rows: frame %.2f, repaint %.2f, drawing %.2f, Page Down %.2f\n",
      Median(large.frame_us) / Median(small.frame_us),
      Median(large.repaint_us) / Median(small.repaint_us),
      Median(large.draw_us) / Median(small.draw_us), Median(large.page_us) / Median(small.page_us));
  return 0;
}

}  // namespace
}  // namespace tvx::bench

int main(int argc, char** argv) { return tvx::bench::Main(argc, argv); }
