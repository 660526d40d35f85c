#include "actions/iconaction.h"

#include "actions/eventwait.h"
#include "actions/httpclient.h"
#include "actions/infomessage.h"
#include "core/actiontable.h"
#include "core/lastresponseslot.h"
#include "core/responsetext.h"

namespace tarnelo {

void runIconAction(const QByteArray &address, HttpClient &client, CookieStoreAccess *cookies,
                   LastResponseSlot &lastResponse)
{
    for (int pass = 1; pass <= actionPasses; ++pass) {
        lastResponse.assign(bytesToText(client.fetchBytes(address, cookies)));
        waitProcessingEvents(actionPassWaitMs);
        processPendingEvents();
    }
    showInfoMessage(lastResponse.read());
}

} // namespace tarnelo
