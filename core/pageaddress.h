#pragma once

// Addresses are stored as ASCII and handed on unchanged. The web engine parses
// them strictly, so the only change made for it is that a "%" not followed by two
// hex digits is written "%25": a tolerant parse would instead re-escape every
// "%" of the address.

#include <QByteArray>

namespace tarnelo {

QByteArray escapeLonePercents(const QByteArray &address);

// The address without its fragment: a fragment never goes on the wire.
QByteArray withoutFragment(const QByteArray &address);

} // namespace tarnelo
