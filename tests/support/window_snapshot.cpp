#include "tests/support/window_snapshot.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "tests/support/window_test_api.h"

namespace qzsdk::test {

window_snapshot::window_snapshot(ui::window& painted)
{
    const ui::rect client = painted.root().bounds();
    if (!surface_.create_blank(uint32_t(client.width), uint32_t(client.height), 0))
        throw std::runtime_error("no snapshot bitmap");
    auto screen = ui::window_test_api::exchange_renderer(painted, std::make_unique<ui::renderer>(surface_.wic_bitmap()));
    struct give_back {
        ui::window& painted;
        std::unique_ptr<ui::renderer>& screen;
        ~give_back() { ui::window_test_api::exchange_renderer(painted, std::move(screen)); }
    } restore{painted, screen};
    painted.paint(&painted.root(), ui::rect{0, 0, client.width, client.height});
}

bool looks_like(bgra found, const ui::color& expected, int tolerance)
{
    // Premultiplied, as the canvas stores it.
    auto close_to = [tolerance](uint8_t channel, float value) { return std::abs(int(channel) - int(value * 255.0f + 0.5f)) <= tolerance; };
    return close_to(found.r, expected.r * expected.a) && close_to(found.g, expected.g * expected.a) &&
           close_to(found.b, expected.b * expected.a) && close_to(found.a, expected.a);
}

}  // namespace qzsdk::test
