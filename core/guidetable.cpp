#include "core/guidetable.h"

#include "core/servicehosts.h"

#include <array>

namespace tarnelo {
namespace {

QByteArray host(std::string_view name)
{
    return QByteArray(name.data(), qsizetype(name.size()));
}

QByteArray http(std::string_view server, const char *rest = "")
{
    return "http://" + host(server) + rest;
}

QByteArray mobileLoginPage()
{
    return http(hosts::qzonePages, "/qzone/mobile/login.html");
}

GuideRow guide(const char *name, QByteArray address, const char *notice)
{
    return {QString::fromUtf8(name), ButtonKind::Guide, std::move(address), QString::fromUtf8(notice)};
}

GuideRow reveal(const char *name)
{
    return {QString::fromUtf8(name), ButtonKind::Reveal, mobileLoginPage(), QString()};
}

std::array<GuideRow, 20> makeTable()
{
    const QByteArray page3366 = http(hosts::miniGames3366, "/act/a20101020light/");
    const char *notice3366 = "进入3366个人中心签到一次获得1点或以上的成长值即可前往手动点亮!";
    const QByteArray gameLifePage = http(hosts::gameLife, "/active/activation.shtml");
    const QByteArray webQqNotice = "在" + host(hosts::webQq).toUpper() + "里成功登陆QQ即可点亮图标!";

    return {{
        guide("按钮1", http(hosts::qqStaticContent, "/qzone/reg/reg1.html?"),
              "先登陆自己的QQ空间,填写好信息后点确认即可瞬间点亮图标!"),
        guide("按钮2",
              http(hosts::qqMail, "/cgi-bin/frame_html?sid=KD52-Rtoa-h8n3cE&r=e0d48b6c93f2a057d1c8e6b40f9a2d13"),
              "成功登陆了QQ邮箱之后,在顶部找到[设置]-[常规]- 往下拽 - [√]在QQ中就可以点亮邮箱图标"),
        guide("按钮3", http(hosts::webQq), webQqNotice.constData()),
        guide("按钮4",
              http(hosts::mobileQqWap, "/p?i_url=http%3A%2F%2F") + host(hosts::mobileQqLogin)
                  + "%2Fs%3Faid%3DnLogin3gqq%26auto%3D1%26g_f%3D1796%26sid%3DQm7tVrHs2NcYpe_Jo4GzLa9w",
              "成功登陆3GQQ后即可点亮手机QQ图标"),
        guide("按钮5", http(hosts::sosoPersonalCentre, "/xuetang/light?pid=w.my.light&ch=w.my.light"),
              "分数达到即可点亮图标"),
        guide("按钮6", http(hosts::sosoEncyclopedia, "/mySet.htm"), "随便写个词条发布审核完后即可点亮图标"),
        reveal("按钮7"),
        reveal("按钮8"),
        guide("按钮9", http(hosts::qqWebLogin, "/div/qlogin_div.html?lang=2052&flag2=20&u1=http%3A%2F%"),
              "登陆QQ相册首页后,创建一个相册即可点亮!"),
        guide("按钮10", http(hosts::qqShowWorld, "/"), "随便选个东西,然后点保存,重启QQ可以发现图标已经点亮!"),
        guide("按钮11", http(hosts::qqBookmarks, "/post/?21.54.50.296.0.12461694385765365"),
              "登陆后连续收藏10个网址,重启QQ点亮图标!"),
        guide("按钮12",
              "https://" + host(hosts::tenpay) + "/v2/register/qq.shtml?ADTAG=TENPAY_V2.REGISTER.GUIDE_REG",
              "填写信息后点下一步,重启QQ点亮图标!"),
        guide("按钮13", http(hosts::silkRoadHeroes, "/act/a20110304dltb/"),
              "进入游戏创建一个游戏角色即可一秒手动点亮!"),
        guide("按钮14", http(hosts::bearAdoption, "/act/adopt/"),
              "任意免费领养一只熊熊（男生/女生）即可立马自动点亮图标!"),
        guide("按钮15", page3366, notice3366),
        guide("按钮16", page3366, notice3366),
        guide("按钮17", gameLifePage, "进入腾讯游戏人生主页猛击‘立即激活’按钮即可一键自动点亮!"),
        guide("按钮18", gameLifePage,
              "进入QQ宝贝官网后注册一个游戏角色，稍等一会儿QQ客户端的图标就自动点亮了!"),
        reveal("按钮19"),
        guide("按钮20",
              http(hosts::pengyouSite, "/?http%3A%2F%2F") + host(hosts::pengyouHome)
                  + "%2Findex.php%3Fmod%3Dhome",
              "在朋友网注册一下帐号即可以点亮!"),
    }};
}

} // namespace

std::span<const GuideRow> guideTable()
{
    static const std::array<GuideRow, 20> table = makeTable();
    return table;
}

const GuideRow *findGuideRow(const QString &controlName)
{
    for (const GuideRow &row : guideTable()) {
        if (row.controlName == controlName)
            return &row;
    }
    return nullptr;
}

} // namespace tarnelo
