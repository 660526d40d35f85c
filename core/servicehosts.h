#pragma once

// The public host of each service, as the QQ 2012 client's users knew them.
// One host per server; every address that names a server uses the same constant,
// and the network tests resolve exactly this list to loopback.

#include <array>
#include <string_view>

namespace tarnelo::hosts {

inline constexpr std::string_view qqStaticContent = "imgcache.qq.com";
inline constexpr std::string_view qqMail = "mail.qq.com";
inline constexpr std::string_view webQq = "web.qq.com";
inline constexpr std::string_view mobileQqWap = "3g.qq.com";
inline constexpr std::string_view mobileQqLogin = "pt.3g.qq.com";
inline constexpr std::string_view sosoPersonalCentre = "my.soso.com";
inline constexpr std::string_view sosoEncyclopedia = "baike.soso.com";
inline constexpr std::string_view qzonePages = "qzs.qq.com";
inline constexpr std::string_view qqWebLogin = "xui.ptlogin2.qq.com";
inline constexpr std::string_view qqShowWorld = "home.qq.com";
inline constexpr std::string_view qqBookmarks = "shuqian.qq.com";
inline constexpr std::string_view tenpay = "www.tenpay.com";
inline constexpr std::string_view silkRoadHeroes = "sl.qq.com";
inline constexpr std::string_view bearAdoption = "xiaoxiong.qq.com";
inline constexpr std::string_view miniGames3366 = "www.3366.com";
inline constexpr std::string_view gameLife = "gamelife.qq.com";
inline constexpr std::string_view pengyouSite = "www.pengyou.com";
inline constexpr std::string_view pengyouHome = "home.pengyou.com";

// Icon action endpoints.
inline constexpr std::string_view qqGamesApps = "apps.game.qq.com";
inline constexpr std::string_view journeyWestApps = "xy.qq.com";
inline constexpr std::string_view qqVideoSocial = "sns.video.qq.com";

inline constexpr std::array all = {
    qqStaticContent, qqMail, webQq, mobileQqWap, mobileQqLogin, sosoPersonalCentre,
    sosoEncyclopedia, qzonePages, qqWebLogin, qqShowWorld, qqBookmarks, tenpay,
    silkRoadHeroes, bearAdoption, miniGames3366, gameLife, pengyouSite, pengyouHome,
    qqGamesApps, journeyWestApps, qqVideoSocial,
};

} // namespace tarnelo::hosts
