#pragma once

// An action button's press: the service's request seven times, half a second
// apart while the program stays responsive, then the last answer's text in a
// message box.
//
// Nothing here refers to a window: a handler started during a wait may close the
// window whose button started the action (the action carries on to its report),
// or press another action button, which then runs nested, report included,
// before this one resumes.

#include <QByteArray>

namespace tarnelo {

class CookieStoreAccess;
class HttpClient;
class LastResponseSlot;

void runIconAction(const QByteArray &address, HttpClient &client, CookieStoreAccess *cookies,
                   LastResponseSlot &lastResponse);

} // namespace tarnelo
