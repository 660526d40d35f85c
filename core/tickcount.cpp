#include "core/tickcount.h"

#include <chrono>

namespace tarnelo {

std::uint32_t tickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

} // namespace tarnelo
