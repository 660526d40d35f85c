#pragma once

// The program keeps exactly one global: the text of the latest action answer.
// The frame owns it; the action code reaches it through this interface so that it
// does not depend on the frame.

#include <QString>

namespace tarnelo {

class LastResponseSlot
{
public:
    virtual ~LastResponseSlot() = default;
    // Replaces the previous text, which is released first.
    virtual void assign(const QString &text) = 0;
    // The empty string when nothing is held.
    virtual QString read() const = 0;
};

} // namespace tarnelo
