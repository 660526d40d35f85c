#pragma once

// The click handlers of the launcher's twenty buttons: each drives the browser
// window through its operations in a fixed order, as its row of the guide table
// says.

namespace tarnelo {

class BrowserWindowController;
class LauncherWindow;
struct GuideRow;

// Guide: open, navigate, notice. Reveal: open, navigate, make it tall.
void runGuideRow(const GuideRow &row, BrowserWindowController &browser);

// Gives every launcher button its own handler for its own row.
void bindGuideButtons(LauncherWindow &launcher, BrowserWindowController &browser);

} // namespace tarnelo
