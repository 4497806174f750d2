#!/usr/bin/env python3
"""A local job board to run Quorvel against.

Serves the board's search-results endpoint over a fixed, fictitious data set and a small
announcement page, in GBK, over HTTP/1.1 with keep-alive:

    /jobsearch/search_result.php?...&jobarea=CODE&issuedate=N&keyword=%XX%XX...
    /job/NNNNNN.html        one posting
    /announce.html          the authors' announcement page

and, in UTF-8 JSON, the company boards of three applicant-tracking systems for the
companies in JSON_COMPANIES (any other company is a 404):

    /v1/boards/COMPANY/jobs                              greenhouse
    /v0/postings/COMPANY?mode=json&skip=N&limit=M        lever, paged
    /posting-api/job-board/COMPANY                       ashby

Usage: python3 demo/board.py [--host 127.0.0.1] [--port 18093] [--scale N]
With --port 0 a free port is chosen.  The first line on standard output names the address
the board listens on.  SIGTERM and SIGINT stop it cleanly.
"""

import argparse
import datetime
import html
import http.server
import itertools
import json
import signal
import sys
import threading
import urllib.parse

SEARCH_PATH = "/jobsearch/search_result.php"
ROWS_PER_PAGE = 20
SESSION_COOKIE = "BOARDSESSION"

# Area codes as the program's region selector sends them, with the names shown in rows.
AREAS = [
    ("0100", "北京"), ("0200", "上海"), ("0300", "广东省"), ("0500", "天津"),
    ("0700", "江苏省"), ("0800", "浙江省"), ("0900", "四川省"), ("1500", "安徽省"),
]

POSITIONS = [
    "Java开发工程师", "高级JAVA工程师", "C++软件工程师", "软件测试工程师", "产品经理",
    "前端开发工程师(JavaScript)", "嵌入式Linux工程师", "数据分析师", "运维工程师",
    "销售代表", "<b>Java</b>架构师", "UI设计师", "人力资源专员", "财务会计", "技术支持工程师",
]

# Company names are made up from these parts; none of them names a real company.
NAME_FIRST = ["青禾", "云帆", "北辰", "铭远", "启明", "泰和", "星澜", "海川", "松岩", "锦程"]
NAME_SECOND = ["软件", "网络科技", "信息技术", "电子"]


class Posting:
    def __init__(self, number, company, title, area_code, area_name, age_days):
        self.number = number
        self.company = company
        self.title = title
        self.area_code = area_code
        self.area_name = area_name
        self.age_days = age_days


def build_companies():
    names = [first + second + "有限公司"
             for first, second in itertools.product(NAME_FIRST, NAME_SECOND)]
    # A few names with Latin letters, so that ASCII keywords find something too.
    names += ["Larkspur数据有限公司", "Fennick Systems上海有限公司", "ORBITAL动力有限公司"]
    return names


def build_postings(scale=1):
    """Every posting of the board, in a fixed order that never changes between runs.

    A scale above 1 gives every company that many times its postings, for long result sets.
    """
    postings = []
    for c, company in enumerate(build_companies()):
        # Most companies have a handful of postings; every seventh has enough for pages,
        # four in five of them in Beijing and from today.
        large = c % 7 == 0
        count = (65 if large else 3 + (c * 5) % 9) * scale
        for j in range(count):
            beijing_today = large and j % 5 != 4
            area_code, area_name = AREAS[0] if beijing_today else AREAS[(c + j) % len(AREAS)]
            postings.append(Posting(
                number=100000 + c * 1000 * scale + j,
                company=company,
                title=POSITIONS[(c * 3 + j * 4) % len(POSITIONS)],
                area_code=area_code,
                area_name=area_name,
                age_days=0 if beijing_today else (c + 2 * j) % 4,
            ))
    return postings


POSTINGS = build_postings()

# The company boards that publish JSON: made-up board names, each with postings in Chinese,
# English and accented titles, in several regions and publication-date windows.
JSON_COMPANIES = ["larkspur", "fennick", "orbital"]
JSON_TITLES = [
    "Java开发工程师", "Senior Java Engineer", "Ingénieur logiciel (Java)", "数据分析师",
    "Développeur C++", "Product Manager, Payments", "Ελεγκτής ποιότητας (QA)", "运维工程师",
]
JSON_LOCATIONS = [
    "Shanghai, China", "北京", "Shenzhen, Guangdong", "Hangzhou", "Hong Kong",
    "Berlin, Germany", "Remote", "成都",
]
# Hours before now at which a posting was published: within one, two, three days and older.
JSON_AGES = [3, 30, 60, 200]


def json_postings(company):
    """The postings of one JSON company: (number, title, location, hours ago, listed)."""
    offset = JSON_COMPANIES.index(company)
    return [(offset * 100 + j, JSON_TITLES[(j + offset) % len(JSON_TITLES)],
             JSON_LOCATIONS[(j * 3 + offset) % len(JSON_LOCATIONS)],
             JSON_AGES[(j + offset) % len(JSON_AGES)], j % 11 != 10)
            for j in range(24)]


def published(hours_ago):
    return datetime.datetime.now(datetime.timezone.utc) - datetime.timedelta(hours=hours_ago)


def greenhouse_jobs(base, company):
    jobs = [{"id": number, "title": title, "absolute_url": "%s/%s/jobs/%d" % (base, company, number),
             "location": {"name": location}, "internal_job_id": number, "metadata": None,
             "updated_at": published(hours).isoformat(timespec="seconds"),
             "first_published": published(hours).isoformat(timespec="seconds")}
            for number, title, location, hours, _ in json_postings(company)]
    return {"jobs": jobs, "meta": {"total": len(jobs)}}


def lever_postings(base, company, skip, limit):
    postings = [{"id": "%08d" % number, "text": title,
                 "hostedUrl": "%s/%s/%08d" % (base, company, number),
                 "categories": {"location": location, "team": "R&D", "commitment": "Full-time"},
                 "createdAt": int(published(hours).timestamp() * 1000)}
                for number, title, location, hours, _ in json_postings(company)]
    return postings[skip:skip + limit]


def ashby_jobs(base, company):
    return {"apiVersion": "1", "jobs": [
        {"title": title, "location": location, "isListed": listed,
         "jobUrl": "%s/%s/%d" % (base, company, number),
         "publishedAt": published(hours).isoformat(timespec="milliseconds")}
        for number, title, location, hours, listed in json_postings(company)]}


def query_bytes(query, name):
    """The raw bytes of one query parameter, percent-escapes decoded; empty when absent."""
    for field in query.split("&"):
        key, _, value = field.partition("=")
        if key == name:
            return urllib.parse.unquote_to_bytes(value.replace("+", " "))
    return b""


def search(keyword, area_code, issuedate):
    """Postings whose company contains the keyword, in the area, within the date window."""
    keyword = keyword.casefold()
    try:
        max_age = int(issuedate) if issuedate else None
    except ValueError:
        max_age = None
    return [p for p in POSTINGS
            if keyword in p.company.casefold()
            and (not area_code or p.area_code == area_code)
            and (max_age is None or p.age_days < max_age)]


def page_query(query, page):
    """The query of the same search with curr_page set to the given page."""
    fields = [f for f in query.split("&") if f and not f.startswith("curr_page=")]
    return "&".join(fields + ["curr_page=%d" % page])


def render_pager(query, page, pages):
    # The next-page image stands before the next-page link, and only on pages that have
    # a successor; the page links before it carry no image.
    parts = ['<div class="dw_page"><table><tr><td>共%d页</td>' % pages]
    for n in range(1, pages + 1):
        if n == page:
            parts.append('<td class="navBold">%d</td>' % n)
        else:
            parts.append('<td><a href="search_result.php?%s">%d</a></td>'
                         % (page_query(query, n), n))
    if page < pages:
        parts.append('<td><img src="/images/pageron.gif" alt="下一页" />'
                     '<a href="search_result.php?%s">下一页</a></td>' % page_query(query, page + 1))
    else:
        parts.append('<td><img src="/images/pageroff.gif" alt="" /></td>')
    parts.append("</tr></table></div>")
    return "".join(parts)


def render_rows(base, rows):
    parts = ['<table class="resultList"><tr class="title"><th>职位名</th><th>公司名</th>'
             '<th>工作地点</th><th>更新日</th></tr>']
    for p in rows:
        parts.append(
            '<tr><td class="td1"><input type="checkbox" name="delivery_jobid" value="%d" />'
            '<a href="%s/job/%d.html" target="_blank" >%s</a></td>'
            '<td class="td2"><a href="%s/company/%d.html">%s</a></td>'
            '<td class="td3">%s</td><td class="td4">%d天前</td></tr>'
            % (p.number, base, p.number, p.title, base, p.number // 1000, html.escape(p.company),
               p.area_name, p.age_days))
    parts.append("</table>")
    return "".join(parts)


def render_results(base, query, keyword, rows, page, pages, returning):
    return (
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gbk" />'
        "<title>职位搜索 - 演示招聘网</title></head><body>"
        "<!-- session: %s -->"
        '<div class="search_key">关键字：%s（演示数据，纯属虚构）</div>'
        "%s"
        '<div class="resultListDiv">%s</div>'
        '<div class="bt_center clearboth">第%d页</div>'
        "</body></html>"
        % ("returning" if returning else "new", html.escape(keyword),
           render_pager(query, page, pages), render_rows(base, rows), page)
    )


def render_posting(posting):
    return (
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gbk" />'
        "<title>%s</title></head><body><h1>%s</h1><p>%s，%s</p>"
        "<p>本职位为演示数据，纯属虚构。</p></body></html>"
        % (posting.title, posting.title, html.escape(posting.company), posting.area_name)
    )


def render_announcement(base):
    return (
        '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gbk" />'
        "<title>Quorvel 公告</title></head><body>"
        "<h3>Quorvel 演示公告</h3>"
        '<div style="display:none">#Braodcast2#嘿，试试 Quorvel 演示版：'
        "它替你盯着招聘网，心仪公司一发布职位就告诉你。#Braodcast2End#</div>"
        '<div style="display:none">#Message2#欢迎使用 Quorvel！这里的招聘信息均为演示数据。'
        "#Message2End#</div>"
        "<ul>"
        '<li><a href="%s/notice.html#m##mb#Demo board: every posting here is fictitious.#me#">'
        "关于演示数据</a></li>"
        '<li><a href="%s/notice.html#n##nb#%s/job/100000.html#ne#">在浏览器中打开一个职位</a></li>'
        '<li><a href="%s/notice.html#m##mb#Opening a sample posting.#me#'
        '#n##nb#%s/job/100001.html#ne#">'
        "先提示再打开</a></li>"
        "</ul></body></html>"
        % (base, base, base, base, base)
    )


class BoardHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "DemoBoard/1.0"
    timeout = 30  # an idle keep-alive connection is dropped after this many seconds
    # Head and body go out in separate writes; with Nagle's algorithm the body would wait
    # for the client's delayed acknowledgement of the head, some 40 ms a page.
    disable_nagle_algorithm = True

    def do_GET(self):
        path, _, query = self.path.partition("?")
        if path == SEARCH_PATH:
            self.serve_search(query)
        elif path == "/announce.html":
            self.send_page(render_announcement(self.base_url()), chunked=False)
        elif path.startswith("/job/") and path.endswith(".html"):
            self.serve_posting(path[len("/job/"):-len(".html")])
        elif path.startswith(("/v1/boards/", "/v0/postings/", "/posting-api/job-board/")):
            self.serve_json_board(path, query)
        else:
            self.send_not_found()

    def serve_search(self, query):
        keyword = query_bytes(query, "keyword").decode("gbk", errors="replace")
        area = query_bytes(query, "jobarea").decode("ascii", errors="replace")
        issuedate = query_bytes(query, "issuedate").decode("ascii", errors="replace")
        try:
            page = max(1, int(query_bytes(query, "curr_page") or b"1"))
        except ValueError:
            page = 1
        found = search(keyword, area, issuedate)
        pages = max(1, -(-len(found) // ROWS_PER_PAGE))
        page = min(page, pages)
        rows = found[(page - 1) * ROWS_PER_PAGE: page * ROWS_PER_PAGE]
        text = render_results(self.base_url(), query, keyword, rows, page, pages,
                              self.has_session())
        # Odd pages are sent with a length, even pages chunked, so clients meet both.
        self.send_page(text, chunked=page % 2 == 0)

    def serve_json_board(self, path, query):
        parts = path.split("/")
        base = self.base_url()
        if len(parts) == 5 and parts[1:3] == ["v1", "boards"] and parts[4] == "jobs" \
                and parts[3] in JSON_COMPANIES:
            self.send_json(greenhouse_jobs(base, parts[3]))
        elif len(parts) == 4 and parts[1:3] == ["v0", "postings"] and parts[3] in JSON_COMPANIES:
            fields = urllib.parse.parse_qs(query)
            try:
                skip = int(fields.get("skip", ["0"])[0])
                limit = int(fields.get("limit", ["100"])[0])
            except ValueError:
                skip, limit = 0, 100
            self.send_json(lever_postings(base, parts[3], skip, limit))
        elif len(parts) == 4 and parts[1:3] == ["posting-api", "job-board"] \
                and parts[3] in JSON_COMPANIES:
            self.send_json(ashby_jobs(base, parts[3]))
        else:
            self.send_not_found()

    def send_json(self, value):
        body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def serve_posting(self, number_text):
        posting = next((p for p in POSTINGS if str(p.number) == number_text), None)
        if posting is None:
            self.send_not_found()
        else:
            self.send_page(render_posting(posting), chunked=False)

    def base_url(self):
        return "http://" + (self.headers.get("Host") or "%s:%d" % self.server.server_address)

    def has_session(self):
        return any(part.strip().startswith(SESSION_COOKIE + "=")
                   for value in self.headers.get_all("Cookie", [])
                   for part in value.split(";"))

    def send_not_found(self):
        body = "<html><body>页面不存在</body></html>".encode("gbk")
        self.send_response(404)
        self.send_header("Content-Type", "text/html; charset=gbk")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_page(self, text, chunked):
        body = text.encode("gbk")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=gbk")
        if not self.has_session():
            session = self.server.new_session_id()
            self.send_header("Set-Cookie", "%s=%s; path=/" % (SESSION_COOKIE, session))
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for start in range(0, len(body), 1500):
                chunk = body[start:start + 1500]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.write(b"0\r\n\r\n")
        else:
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    def log_message(self, format, *args):
        sys.stderr.write("board: %s\n" % (format % args))


class BoardServer(http.server.ThreadingHTTPServer):
    daemon_threads = True  # open keep-alive connections must not hold up the shutdown

    def __init__(self, address):
        super().__init__(address, BoardHandler)
        self._sessions = itertools.count(1)
        self._sessions_lock = threading.Lock()

    def new_session_id(self):
        with self._sessions_lock:
            return "s%06d" % next(self._sessions)


def main():
    parser = argparse.ArgumentParser(description="Local demo job board for Quorvel.")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=18093)
    parser.add_argument("--scale", type=int, default=1,
                        help="give every company this many times its postings")
    options = parser.parse_args()
    if options.scale != 1:
        global POSTINGS
        POSTINGS = build_postings(options.scale)

    server = BoardServer((options.host, options.port))
    host, port = server.server_address[:2]
    print("board listening on http://%s:%d/" % (host, port), flush=True)

    def stop(signum, frame):
        # shutdown() waits for serve_forever() to return, so it must not run on its thread.
        threading.Thread(target=server.shutdown).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        server.serve_forever()
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
