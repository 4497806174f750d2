"""Checks of the demo job board: the markup the scraper relies on, the search filters,
the HTTP framing and session handling, and a clean stop on SIGTERM."""

import http.client
import json
import os
import signal
import subprocess
import sys
import unittest

BOARD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo", "board.py")
QUERY = ("/jobsearch/search_result.php?fromJs=1&jobarea=%s&funtype=0000&industrytype=00"
         "&issuedate=%s&providesalary=99&keyword=%s&keywordtype=0&lang=c&stype=2&workyear=99"
         "&cotype=99&degreefrom=99&jobterm=01&fromType=1")


def percent_hex(text):
    return "".join("%%%02X" % b for b in text.encode("gbk"))


def search_path(keyword, area="0100", days="1"):
    return QUERY % (area, days, percent_hex(keyword))


def between(start, end, text):
    """The bytes between the first start marker and the first end marker, or b"" when
    either is missing or they are out of order."""
    p1, p2 = text.find(start), text.find(end)
    if p1 < 0 or p2 < 0 or p2 < p1 + len(start):
        return b""
    return text[p1 + len(start):p2]


def after(marker, text):
    p = text.find(marker)
    return text[p + len(marker):] if p >= 0 else b""


def scrape(page):
    """Rows (link, title) and the next-page link, found by the job watch's markers."""
    rows = []
    listing = after(b"</tr>", between(b'<div class="resultListDiv">',
                                      b'<div class="bt_center clearboth">', page))
    while b'<td class="td1">' in listing and b'<td class="td2">' in listing:
        cell = between(b'<td class="td1">', b'<td class="td2">', listing)
        listing = after(b'<td class="td2">', listing)
        link = cell[cell.find(b"http"):cell.find(b'html"') + 4]
        rows.append((link, between(b'target="_blank" >', b"</a>", cell)))
    nav = between(b"navBold", b'<div class="resultListDiv">', page)
    following = None
    if b"pageron.gif" in nav:
        nav = after(b'href="', after(b"img src", nav))
        following = nav[:nav.find(b'"')]
    return rows, following


class BoardProcess:
    def __enter__(self):
        self.process = subprocess.Popen([sys.executable, BOARD, "--port", "0"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode()
        self.port = int(line.rstrip().rstrip("/").rsplit(":", 1)[1])
        return self

    def connect(self):
        return http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=5)

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()


class BoardTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.board = BoardProcess().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.board.__exit__()

    def fetch(self, conn, path, cookie=None):
        conn.request("GET", path, headers={"Cookie": cookie} if cookie else {})
        response = conn.getresponse()
        return response, response.read()

    def walk(self, keyword, area="0100", days="1"):
        """Follows the pager from the first page to the last; returns rows per page."""
        conn = self.board.connect()
        path, pages = search_path(keyword, area, days), []
        while path is not None:
            response, body = self.fetch(conn, path)
            self.assertEqual(response.status, 200)
            rows, following = scrape(body)
            pages.append(rows)
            if following is not None:
                path = "/jobsearch/" + following.decode("ascii")
            else:
                path = None
        conn.close()
        return pages

    def test_json_boards_serve_each_shape_in_utf8(self):
        conn = self.board.connect()
        for path, jobs_of in [
                ("/v1/boards/larkspur/jobs", lambda body: body["jobs"]),
                ("/v0/postings/larkspur?mode=json&skip=0&limit=100", lambda body: body),
                ("/posting-api/job-board/larkspur", lambda body: body["jobs"])]:
            response, body = self.fetch(conn, path)
            self.assertEqual(response.status, 200, path)
            self.assertEqual(response.getheader("Content-Type"), "application/json; charset=utf-8")
            jobs = jobs_of(json.loads(body.decode("utf-8")))
            self.assertEqual(len(jobs), 24, path)
            titles = {job.get("title", job.get("text")) for job in jobs}
            self.assertIn("Java开发工程师", titles)
            self.assertIn("Ingénieur logiciel (Java)", titles)
        for path in ["/v1/boards/nobody/jobs", "/v0/postings/nobody", "/posting-api/job-board/nobody"]:
            response, _ = self.fetch(conn, path)
            self.assertEqual(response.status, 404, path)
        conn.close()

    def test_lever_pages_with_skip_and_limit(self):
        conn = self.board.connect()
        sizes = []
        for skip in (0, 10, 20):
            _, body = self.fetch(conn, "/v0/postings/fennick?mode=json&skip=%d&limit=10" % skip)
            sizes.append(len(json.loads(body)))
        self.assertEqual(sizes, [10, 10, 4])
        conn.close()

    def test_area_and_date_window_narrow_the_search(self):
        def count(area, days):
            return sum(len(rows) for rows in self.walk("青禾", area, days))

        self.assertEqual(count("0100", "1"), 54)
        self.assertGreater(count("0100", "3"), count("0100", "1"))
        self.assertGreater(count("", ""), count("0100", "3"))
        self.assertEqual(count("3600", "1"), 0)
        self.assertEqual([len(rows) for rows in self.walk("青禾")], [20, 20, 14])

    def test_ascii_keywords_match_without_regard_to_case(self):
        self.assertEqual(self.walk("larkspur", "", ""), self.walk("LARKSPUR", "", ""))
        self.assertEqual(sum(len(rows) for rows in self.walk("Larkspur", "", "")), 5)

    def test_pages_alternate_length_and_chunked_framing_on_one_connection(self):
        conn = self.board.connect()
        first, _ = self.fetch(conn, search_path("青禾"))
        sock = conn.sock
        second, body = self.fetch(conn, search_path("青禾") + "&curr_page=2")
        self.assertIs(conn.sock, sock, "the board closed a keep-alive connection")
        self.assertIsNotNone(first.getheader("Content-Length"))
        self.assertIsNone(first.getheader("Transfer-Encoding"))
        self.assertEqual(second.getheader("Transfer-Encoding"), "chunked")
        self.assertIn(b'<div class="bt_center clearboth">', body)
        conn.close()

    def test_a_session_cookie_is_set_once_with_a_path(self):
        conn = self.board.connect()
        response, body = self.fetch(conn, search_path("青禾"))
        cookie = response.getheader("Set-Cookie")
        self.assertRegex(cookie, r"^BOARDSESSION=\w+; path=/$")
        self.assertIn(b"session: new", body)
        response, body = self.fetch(conn, search_path("青禾"), cookie.split(";")[0])
        self.assertIsNone(response.getheader("Set-Cookie"))
        self.assertIn(b"session: returning", body)
        conn.close()

    def test_announcement_carries_every_marker(self):
        conn = self.board.connect()
        response, body = self.fetch(conn, "/announce.html")
        self.assertEqual(response.status, 200)
        self.assertIn("gbk", response.getheader("Content-Type"))
        self.assertTrue(between(b"#Braodcast2#", b"#Braodcast2End#", body))
        self.assertTrue(between(b"#Message2#", b"#Message2End#", body).decode("gbk"))
        for marker in (b"#m#", b"#mb#", b"#me#", b"#n#", b"#nb#", b"#ne#"):
            self.assertIn(marker, body)
        opened = between(b"#nb#", b"#ne#", body).decode("ascii")
        response, _ = self.fetch(conn, opened[opened.index("/job/"):])
        self.assertEqual(response.status, 200)
        conn.close()

    def test_unknown_pages_are_not_found_and_keep_the_connection(self):
        conn = self.board.connect()
        response, _ = self.fetch(conn, "/nothing/here.html")
        self.assertEqual(response.status, 404)
        response, _ = self.fetch(conn, "/job/999999.html")
        self.assertEqual(response.status, 404)
        conn.close()


class BoardStopTest(unittest.TestCase):
    def test_sigterm_stops_the_board_with_a_connection_still_open(self):
        with BoardProcess() as board:
            conn = board.connect()
            conn.request("GET", "/announce.html")
            conn.getresponse().read()
            self.assertEqual(board.stop(), 0)
            conn.close()


if __name__ == "__main__":
    unittest.main()
