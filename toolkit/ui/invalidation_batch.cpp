#include "toolkit/ui/invalidation_batch.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace qzsdk::ui::invalidation_batch {
namespace {

// The messages being handled and what they asked to repaint. Toolkit windows live on the one user-interface
// thread; a plain static, as a thread_local with a destructor in a module would be run by a thread that
// outlives the module's unload.
struct batch {
    int depth = 0;
    std::vector<std::pair<HWND, RECT>> pending;
};

batch& current()
{
    static batch state;
    return state;
}

}  // namespace

dispatch_scope::dispatch_scope()
{
    if (current().depth > 0)
        flush();
    ++current().depth;
}

dispatch_scope::~dispatch_scope()
{
    --current().depth;
    flush();
}

bool defer(HWND handle, const RECT& pixels)
{
    batch& state = current();
    if (state.depth == 0)
        return false;
    for (auto& [window, area] : state.pending) {
        if (window == handle) {
            UnionRect(&area, &area, &pixels);
            return true;
        }
    }
    state.pending.emplace_back(handle, pixels);
    return true;
}

void flush()
{
    // Taken out first: InvalidateRect may send messages whose handlers gather again.
    std::vector<std::pair<HWND, RECT>> pending = std::exchange(current().pending, {});
    for (const auto& [window, area] : pending)
        InvalidateRect(window, &area, FALSE);
}

void forget(HWND handle)
{
    auto& pending = current().pending;
    pending.erase(std::remove_if(pending.begin(), pending.end(), [handle](const auto& entry) {
                      return entry.first == handle;
                  }),
                  pending.end());
}

}  // namespace qzsdk::ui::invalidation_batch
