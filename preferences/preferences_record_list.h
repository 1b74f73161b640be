#pragma once
// The three edited lists seen alike by their panel: records of a text, an effect and an override.
#include "popup/effect_entry.h"

#include <cstddef>
#include <string>
#include <vector>

class PreferencesRecordList {
public:
    virtual ~PreferencesRecordList() = default;
    virtual size_t size() const = 0;
    virtual const std::string& text(size_t index) const = 0;
    virtual const EffectEntry* target(size_t index) const = 0;
    virtual const EffectEntry* override_target(size_t index) const = 0;
    // Lands record `from` before the record at `drop_index` and sinks records without an effect.
    virtual bool move(size_t from, size_t drop_index) = 0;
    virtual bool erase(size_t index) = 0;

    // The record has a text of its own to show: an alias, something else than the effect's match name.
    bool text_differs(size_t index) const
    {
        const EffectEntry* entry = target(index);
        return entry && text(index) != entry->match_name;
    }
    // What an editor starts from: the record's own text, or empty where it only repeats the effect's name.
    std::string own_text(size_t index) const { return text_differs(index) ? text(index) : std::string(); }
};

class AliasRecordList : public PreferencesRecordList {
public:
    explicit AliasRecordList(std::vector<EffectAlias>* records) : records_(records) {}
    size_t size() const override { return records_->size(); }
    const std::string& text(size_t index) const override { return (*records_)[index].text; }
    const EffectEntry* target(size_t index) const override { return (*records_)[index].target; }
    const EffectEntry* override_target(size_t index) const override { return (*records_)[index].override_target; }
    bool move(size_t from, size_t drop_index) override;
    bool erase(size_t index) override;
    std::vector<EffectAlias>& records() { return *records_; }

private:
    std::vector<EffectAlias>* records_;
};

class ShortcutRecordList : public PreferencesRecordList {
public:
    explicit ShortcutRecordList(EffectShortcuts* slots) : slots_(slots) {}
    size_t size() const override { return slots_->size(); }
    const std::string& text(size_t index) const override { return (*slots_)[index].label; }
    const EffectEntry* target(size_t index) const override { return (*slots_)[index].target; }
    const EffectEntry* override_target(size_t) const override { return nullptr; }
    bool move(size_t from, size_t drop_index) override;
    // The nine slots stay nine: a cleared slot sinks to the end.
    bool erase(size_t index) override;
    EffectShortcuts& slots() { return *slots_; }

private:
    EffectShortcuts* slots_;
};
