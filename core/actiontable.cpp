#include "core/actiontable.h"

#include "core/servicehosts.h"

#include <array>

namespace tarnelo {
namespace {

QByteArray endpoint(std::string_view host, const char *pathAndQuery)
{
    return "http://" + QByteArray(host.data(), qsizetype(host.size())) + pathAndQuery;
}

std::array<ActionRow, 3> makeTable()
{
    return {{
        {QString::fromUtf8("按钮1"),
         endpoint(hosts::qqGamesApps,
                  "/cgi-bin/dnf/lighticon/DnfIcon.cgi?sAreaId=2&sRoleId=25507&iType=2&_=1342236415531")},
        {QString::fromUtf8("按钮2"),
         endpoint(hosts::journeyWestApps,
                  "/cgi-bin/act/a20100812icon/hide_icon.cgi?rid=0.09644990139701243&cmd=1&area=229&role=64457769666840392")},
        {QString::fromUtf8("按钮3"),
         endpoint(hosts::qqVideoSocial, "/fcgi-bin/liveportal/dian?t=1&otype=json&callback=jsonp")},
    }};
}

} // namespace

std::span<const ActionRow> actionTable()
{
    static const std::array<ActionRow, 3> table = makeTable();
    return table;
}

const ActionRow *findActionRow(const QString &controlName)
{
    for (const ActionRow &row : actionTable()) {
        if (row.controlName == controlName)
            return &row;
    }
    return nullptr;
}

} // namespace tarnelo
