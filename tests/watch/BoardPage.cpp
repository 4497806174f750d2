#include "BoardPage.h"

#include "watch/GbkText.h"

using watch::Gbk;

std::string BoardRowHtml(const std::string& firstCell) {
    return "<tr class=\"tr0\">\r\n<td class=\"td1\">" + firstCell +
           "</td>\r\n<td class=\"td2\"><a href=\"http://board/co/1.html\">" + Gbk("某公司") +
           "</a></td>\r\n<td class=\"td3\">2026-12-08</td></tr>\r\n";
}

std::string BoardPage(const std::vector<TBoardRow>& rows, const std::string& nextPage) {
    std::string page = "<html><head><title>" + Gbk("搜索结果") + "</title></head><body>\r\n";
    page += "<div class=\"pager\"><span class=\"navBold\">1</span>";
    if (nextPage.empty())
        page += "<img src=\"/im/pageroff.gif\">";
    else
        page +=
            "<img src=\"/im/pageron.gif\"><a href=\"" + nextPage + "\">" + Gbk("下一页") + "</a>";
    page += "</div>\r\n<div class=\"resultListDiv\"><table>\r\n";
    page += "<tr><th>" + Gbk("职位名") + "</th><th>" + Gbk("公司名") + "</th></tr>\r\n";
    for (const TBoardRow& row : rows)
        page +=
            BoardRowHtml("<a href=\"" + row.Link + "\" target=\"_blank\" >" + row.Title + "</a>");
    page += "</table></div>\r\n<div class=\"bt_center clearboth\">" + Gbk("共") + "</div>\r\n";
    return page + "</body></html>\r\n";
}
