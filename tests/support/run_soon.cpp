#include "tests/support/run_soon.h"

#include <memory>

#include "toolkit/ui/event_manager.h"

namespace qzsdk::test {

void run_soon(ui::widget& on, std::function<void()> action, uint32_t delay_ms)
{
    static uint32_t next_id = 100;
    uint32_t id = next_id++;
    auto shared = std::make_shared<std::function<void()>>(std::move(action));
    on.set_timer(id, delay_ms, true);
    ui::event_manager::instance().connect(&on, &on, ui::event_id::timer, [shared, id](const ui::event_info& info) {
        if (info.param == id && *shared) {
            auto run = std::move(*shared);
            *shared = nullptr;
            run();
        }
    });
}

}  // namespace qzsdk::test
