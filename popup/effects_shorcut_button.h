#pragma once
// A numbered button of the shortcuts bar: the slot's label above its number.
#include "toolkit/ui/generic_button.h"

#include <cstdint>
#include <string>

class EffectsShorcutButton : public qzsdk::ui::generic_button {
public:
    EffectsShorcutButton(std::string label, uint64_t number);

    const std::string& label() const { return label_; }
    uint64_t number() const { return number_; }

protected:
    void on_paint() override;

private:
    std::string label_;
    uint64_t number_;
};
