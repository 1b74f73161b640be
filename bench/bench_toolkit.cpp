// Paint pass and widget churn: ./run bench
#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "toolkit/ui/event_manager.h"
#include "toolkit/ui/renderer.h"
#include "toolkit/ui/widget.h"
#include "toolkit/ui/window.h"

#include "bench/bench_timing.h"

using namespace qzsdk::ui;

namespace {

// A widget that fills its rectangle on every paint, or only hears the paint event (the cost of the
// pass itself, apart from Direct2D's).
class filled_cell : public widget {
public:
    explicit filled_cell(bool fill) : fill_(fill) { connect_member(this, event_id::paint, &filled_cell::on_paint, this); }

private:
    void on_paint()
    {
        if (!fill_)
            return;
        renderer* r = owner_window()->renderer();
        r->set_fill_color(color{0.2f, 0.4f, 0.6f, 1.0f});
        r->fill_rect(rect{0, 0, bounds().width, bounds().height});
    }

    bool fill_;
};

void drain_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void bench_paint(int count, bool fill)
{
    window host;
    host.create("bench", rect{0, 0, 800, 600}, window_style::borderless);
    ShowWindow(host.handle(), SW_SHOWNOACTIVATE);
    drain_messages();
    int columns = 100;
    int cell_width = 800 / columns;
    int rows = count / columns;
    int cell_height = std::max(1, 600 / rows);
    std::vector<std::unique_ptr<filled_cell>> cells;
    for (int i = 0; i < count; ++i) {
        auto cell = std::make_unique<filled_cell>(fill);
        cell->attach_to_window(&host.root(), rect{(i % columns) * cell_width, (i / columns) * cell_height,
                                                  cell_width - 1, std::max(1, cell_height - 1)});
        cells.push_back(std::move(cell));
    }
    UpdateWindow(host.handle());
    double full = median_ms(21, [&] {
        host.root().invalidate(false);
        UpdateWindow(host.handle());
    });
    filled_cell& small = *cells[cells.size() / 2];
    double one = median_ms(101, [&] {
        small.invalidate(false);
        UpdateWindow(host.handle());
    });
    std::printf("paint, %5d %s widgets: full repaint %8.3f ms, one small widget %8.3f ms (median)\n", count,
                fill ? "filled" : "empty ", full, one);
}

void bench_churn()
{
    window host;
    host.create("churn", rect{0, 0, 400, 300}, window_style::borderless);
    double churn = median_ms(21, [&] {
        std::vector<std::unique_ptr<widget>> rows;
        rows.reserve(1000);
        for (int i = 0; i < 1000; ++i) {
            auto row = std::make_unique<widget>();
            row->attach_to_window(&host.root(), rect{0, i, 400, 1});
            event_manager::instance().connect(row.get(), &host, event_id::activated, [](const event_info&) {});
            event_manager::instance().connect(&host, row.get(), event_id::resized, [](const event_info&) {});
            rows.push_back(std::move(row));
        }
    });
    std::printf("churn: create and destroy 1000 widgets with two connections each: %8.3f ms (median)\n", churn);
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    for (bool fill : {true, false}) {
        bench_paint(1000, fill);
        bench_paint(10000, fill);
    }
    bench_churn();
    OleUninitialize();
    return 0;
}
