#pragma once
// Owns one object the host made for the module (render options, frame receipt, world, colour conversion,
// memory block) and hands it back to the host's disposer on every way out, exceptions included. The suite
// that the disposer belongs to must outlive the holder (declare the SuiteCache first).
#include "host/sdk/host_types.h"

template <class Handle>
class HostHandle {
public:
    using Disposer = A_Err (*)(Handle);
    explicit HostHandle(Disposer dispose) : dispose_(dispose) {}
    ~HostHandle()
    {
        if (handle_)
            dispose_(handle_);
    }
    HostHandle(const HostHandle&) = delete;
    HostHandle& operator=(const HostHandle&) = delete;

    // For the host call that makes the object.
    Handle* out() { return &handle_; }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Disposer dispose_;
    Handle handle_ = nullptr;
};
