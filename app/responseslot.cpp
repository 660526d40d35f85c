#include "app/responseslot.h"

#include <optional>

namespace tarnelo {
namespace {

// Holds nothing until the first answer; an empty answer leaves it empty.
std::optional<QString> lastResponseText;

} // namespace

void GlobalResponseSlot::assign(const QString &text)
{
    lastResponseText.reset();
    if (!text.isEmpty())
        lastResponseText = text;
}

QString GlobalResponseSlot::read() const
{
    return lastResponseText.value_or(QString());
}

void releaseLastResponseText()
{
    lastResponseText.reset();
}

bool lastResponseTextHeld()
{
    return lastResponseText.has_value();
}

} // namespace tarnelo
