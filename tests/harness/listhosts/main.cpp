// Prints every service host of the program, one per line, so the network
// tests can resolve exactly these names to loopback and nothing else.

#include "core/servicehosts.h"

#include <iostream>

int main()
{
    for (const auto host : tarnelo::hosts::all)
        std::cout << host << '\n';
    return std::cout.good() ? 0 : 1;
}
