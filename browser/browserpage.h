#pragma once

#include <QWebEnginePage>

namespace tarnelo {

// A page that never opens a window of the program (new-window requests go to
// the desktop) and keeps its own dialogs quiet when asked to be silent.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile *profile, QObject *parent);

    void setSilent(bool silent) { m_silent = silent; }

protected:
    void javaScriptAlert(const QUrl &origin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override;

private:
    bool m_silent = false;
};

} // namespace tarnelo
