#pragma once
// Owns the objects behind one kind of opaque handle, so a stale or foreign handle from the module is
// answered with an error instead of being dereferenced.
#include <map>
#include <memory>

namespace standin {

template <typename T>
class HandleRegistry {
public:
    template <typename Handle>
    Handle add(std::unique_ptr<T> object)
    {
        T* raw = object.get();
        objects_[raw] = std::move(object);
        return reinterpret_cast<Handle>(raw);
    }

    template <typename Handle>
    T* find(Handle handle) const
    {
        auto found = objects_.find(reinterpret_cast<const void*>(handle));
        return found == objects_.end() ? nullptr : found->second.get();
    }

    template <typename Handle>
    bool remove(Handle handle)
    {
        return objects_.erase(reinterpret_cast<const void*>(handle)) > 0;
    }

    size_t size() const { return objects_.size(); }

private:
    std::map<const void*, std::unique_ptr<T>> objects_;
};

}  // namespace standin
