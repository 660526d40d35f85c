#pragma once

// A 32-bit millisecond tick count that wraps about every 49.7 days, and the
// elapsed time between two readings taken modulo 2^32 so a wrap does no harm.

#include <cstdint>

namespace tarnelo {

std::uint32_t tickCount();

constexpr std::uint32_t ticksBetween(std::uint32_t start, std::uint32_t now)
{
    return now - start;  // unsigned arithmetic wraps modulo 2^32
}

} // namespace tarnelo
