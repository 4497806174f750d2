#include "ChangingBoard.h"

#include "watch/GbkText.h"

TChangingBoard::TChangingBoard(std::vector<std::optional<TRows>> pages)
    : pages_(std::move(pages)), server_([this](const std::string&) { return Answer(); }) {}

std::string TChangingBoard::HostAndPort() const {
    return "127.0.0.1:" + std::to_string(server_.Port());
}

int TChangingBoard::Searches() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return searches_;
}

std::string TChangingBoard::ResultPage(const TRows& rows) {
    std::string page = "<html><div class=\"resultListDiv\"><table><tr><th>head</th></tr>";
    for (const auto& [title, link] : rows)
        page += "<tr><td class=\"td1\"><a href=\"" + link + "\" target=\"_blank\" >" +
                watch::Gbk(title) + "</a></td><td class=\"td2\">company</td></tr>";
    return page + "</table></div><div class=\"bt_center clearboth\"></div></html>";
}

std::string TChangingBoard::Answer() {
    std::optional<TRows> rows;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        rows = pages_[std::min<size_t>(static_cast<size_t>(searches_), pages_.size() - 1)];
        ++searches_;
    }
    if (!rows)
        return "";
    std::string body = ResultPage(*rows);
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}
