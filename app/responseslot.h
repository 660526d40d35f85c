#pragma once

// The program's one global, `lastResponseText`, and the slot through which the
// action code reads and writes it.

#include "core/lastresponseslot.h"

namespace tarnelo {

class GlobalResponseSlot final : public LastResponseSlot
{
public:
    void assign(const QString &text) override;
    QString read() const override;
};

// Lets go of the text, if one is held. Safe to call more than once.
void releaseLastResponseText();
bool lastResponseTextHeld();

} // namespace tarnelo
