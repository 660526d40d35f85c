#pragma once
// Placeholder until the control skin lands.
namespace tarnelo {
int applySkinStyle(int style);
}
