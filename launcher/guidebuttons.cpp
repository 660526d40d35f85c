#include "launcher/guidebuttons.h"

#include "browser/browserwindowcontroller.h"
#include "core/guidetable.h"
#include "launcher/launcherwindow.h"

#include <QPushButton>

namespace tarnelo {

void runGuideRow(const GuideRow &row, BrowserWindowController &browser)
{
    browser.openBrowserWindow();
    browser.setBrowserAddress(row.address);
    if (row.kind == ButtonKind::Guide)
        browser.showNotice(row.notice);
    else
        browser.setBrowserWindowHeight(revealedBrowserHeight);
}

void bindGuideButtons(LauncherWindow &launcher, BrowserWindowController &browser)
{
    for (const GuideRow &row : guideTable()) {
        QPushButton *button = launcher.button(row.controlName);
        if (!button)
            continue;
        const GuideRow *handlerRow = &row;  // the table lives as long as the program
        QObject::connect(button, &QPushButton::clicked, &browser,
                         [handlerRow, &browser] { runGuideRow(*handlerRow, browser); });
    }
}

} // namespace tarnelo
