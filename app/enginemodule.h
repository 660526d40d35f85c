#pragma once

// Loads the web engine module that sits next to the program (or, for the test
// programs, in the build tree) and makes its engine.

#include <memory>

namespace tarnelo {

class BrowserEngine;

// nullptr, with one line on stderr saying why, when the module cannot be loaded.
std::unique_ptr<BrowserEngine> loadBrowserEngine();

} // namespace tarnelo
