// The client against HTTP servers that nobody here wrote: nginx and Python's http.server,
// each started by the test on a free loopback port.

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <unistd.h>

#include "ServerProcess.h"
#include "http/IdHTTP.h"

namespace {

// The client as the program configures it, with a read limit so a fault cannot hang the test.
void ConfigureLikeTheProgram(TIdHTTP& client) {
    client.AllowCookies = true;
    client.HTTPOptions = {hoForceEncodeParams};
    client.MaxLineAction = maException;
    client.ReadTimeout = 5000;
    client.Request().ContentType = "text/html";
    client.Request().Accept = "text/html, */*";
}

EIdHTTPProtocolException GetFailure(TIdHTTP& client, const std::string& url) {
    try {
        client.Get(url);
    } catch (const EIdHTTPProtocolException& failure) {
        return failure;
    }
    ADD_FAILURE() << url << " did not fail";
    return EIdHTTPProtocolException(0, "", "");
}

std::string LargePage() {
    std::string page;
    for (int row = 0; page.size() < 200000; ++row) {
        page += "<tr><td>row " + std::to_string(row) + "</td></tr>\n";
    }
    return page;
}

// A server program on a free loopback port with a folder of its own, and a client configured
// like the program's.
class InteropTest : public ::testing::Test {
protected:
    void StartServer(const std::vector<std::string>& argv) {
        server_ = std::make_unique<ServerProcess>(argv, port_, dir_.Path() / "output.log");
        ConfigureLikeTheProgram(client_);
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    TemporaryDirectory dir_;
    const int port_ = FreeLoopbackPort();
    std::unique_ptr<ServerProcess> server_;
    TIdHTTP client_;
};

class NginxInterop : public InteropTest {
protected:
    void SetUp() override {
        const std::string nginx = FindProgram("nginx");
        if (nginx.empty()) {
            GTEST_SKIP() << "nginx is not installed: the interop tests with nginx are skipped";
        }
        const std::string root = dir_.Path().string();
        dir_.Write("www/page.html", "<html><body>static page</body></html>\n");
        dir_.Write("www/ssi/small.html", "start <!--# set var=\"x\" value=\"middle\" -->"
                                         "<!--# echo var=\"x\" --> end\n");
        dir_.Write("www/ssi/large.html", "<!--# echo var=\"x\" default=\"head\" -->" + LargePage());
        dir_.Write("nginx.conf", Config(root));
        const std::string user = geteuid() == 0 ? "user root;" : "";
        StartServer({nginx, "-p", root, "-c", root + "/nginx.conf", "-e", root + "/error.log", "-g",
                     "daemon off; " + user});
    }

    std::string Config(const std::string& root) const {
        std::string config = R"(worker_processes 1;
pid ROOT/nginx.pid;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path ROOT/body;
  proxy_temp_path ROOT/proxy;
  fastcgi_temp_path ROOT/fastcgi;
  uwsgi_temp_path ROOT/uwsgi;
  scgi_temp_path ROOT/scgi;
  default_type text/html;
  server {
    listen 127.0.0.1:PORT;
    root ROOT/www;
    location = /connection { return 200 "$connection"; }
    location = /cookie { return 200 "$http_cookie"; }
    location = /head {
      return 200 "$http_host|$http_user_agent|$http_accept|$http_cache_control|$http_content_type";
    }
    location = /redirect {
      add_header Set-Cookie "session=abc; path=/";
      return 302 /page.html;
    }
    location /ssi/ { ssi on; }
  }
}
)";
        for (const auto& [name, value] :
             {std::pair<std::string, std::string>{"ROOT", root}, {"PORT", std::to_string(port_)}}) {
            for (std::size_t at = config.find(name); at != std::string::npos;
                 at = config.find(name, at + value.size())) {
                config.replace(at, name.size(), value);
            }
        }
        return config;
    }
};

TEST_F(NginxInterop, StaticPagesWithALengthShareOneConnection) {
    const std::string connection = client_.Get(Url("/connection"));
    EXPECT_EQ(client_.Get(Url("/page.html")), "<html><body>static page</body></html>\n");
    EXPECT_EQ(client_.Response().ContentLength(), 38);
    EXPECT_EQ(client_.Response().Server.substr(0, 6), "nginx/");
    EXPECT_EQ(client_.Get(Url("/connection")), connection);
}

TEST_F(NginxInterop, TheServerSeesTheProgramsHead) {
    client_.Request().CacheControl = "no-cache";
    EXPECT_EQ(client_.Get(Url("/head")),
              "127.0.0.1:" + std::to_string(port_) +
                  "|Mozilla/3.0 (compatible; Quorvel HTTP)|text/html, */*|no-cache|text/html");
}

TEST_F(NginxInterop, ANotFoundPageRaisesAndKeepsTheConnection) {
    const std::string connection = client_.Get(Url("/connection"));
    EIdHTTPProtocolException failure = GetFailure(client_, Url("/missing.html"));
    EXPECT_EQ(failure.ErrorCode(), 404);
    EXPECT_STREQ(failure.what(), "HTTP/1.1 404 Not Found");
    EXPECT_NE(failure.ErrorBody().find("<title>404 Not Found</title>"), std::string::npos);
    EXPECT_EQ(client_.Get(Url("/connection")), connection);
}

TEST_F(NginxInterop, ARedirectRaisesAndItsCookieGoesToTheNextRequest) {
    EIdHTTPProtocolException failure = GetFailure(client_, Url("/redirect"));
    EXPECT_EQ(failure.ErrorCode(), 302);
    EXPECT_STREQ(failure.what(), "HTTP/1.1 302 Moved Temporarily");
    EXPECT_NE(failure.ErrorBody().find("302 Found"), std::string::npos);
    EXPECT_EQ(client_.Response().Location, Url("/page.html"));
    EXPECT_EQ(client_.Get(Url("/cookie")), "session=abc");
}

TEST_F(NginxInterop, RedirectsAreFollowedWhenAllowed) {
    client_.HandleRedirects = true;
    EXPECT_EQ(client_.Get(Url("/redirect")), "<html><body>static page</body></html>\n");
    EXPECT_EQ(client_.ResponseCode(), 200);
}

TEST_F(NginxInterop, ChunkedResponsesAreDecoded) {
    EXPECT_EQ(client_.Get(Url("/ssi/small.html")), "start middle end\n");
    EXPECT_NE(client_.Response().HeaderLines.ValueOf("Transfer-Encoding").find("chunked"),
              std::string::npos);
    EXPECT_EQ(client_.Get(Url("/ssi/large.html")), "head" + LargePage());
    EXPECT_EQ(client_.Get(Url("/page.html")), "<html><body>static page</body></html>\n");
}

class PythonInterop : public InteropTest {
protected:
    void SetUp() override {
        const std::string python = FindProgram("python3");
        if (python.empty()) {
            GTEST_SKIP() << "python3 is not installed: the interop tests with http.server are "
                            "skipped";
        }
        dir_.Write("www/file.txt", "served with a length\n");
        dir_.Write("server.py", R"(import functools, http.server, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path == '/until-close':
            self.send_response(200)
            self.send_header('Content-Type', 'text/plain')
            self.end_headers()
            self.wfile.write(b'no length, ' * 5000 + b'the end')
        else:
            super().do_GET()

handler = functools.partial(Handler, directory=sys.argv[2])
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), handler).serve_forever()
)");
        StartServer({python, (dir_.Path() / "server.py").string(), std::to_string(port_),
                     (dir_.Path() / "www").string()});
    }
};

TEST_F(PythonInterop, AnHTTP10BodyWithoutLengthRunsUntilTheClose) {
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        expected += "no length, ";
    }
    expected += "the end";
    EXPECT_EQ(client_.Get(Url("/until-close")), expected);
    EXPECT_EQ(client_.Response().StatusLine, "HTTP/1.0 200 OK");
    EXPECT_FALSE(client_.Response().LengthKnown());
    EXPECT_FALSE(client_.IsConnected());
    EXPECT_EQ(client_.Get(Url("/until-close")), expected);
}

TEST_F(PythonInterop, AConnectionTheServerClosedWhileIdleCostsNoError) {
    EXPECT_EQ(client_.Get(Url("/file.txt")), "served with a length\n");
    // The server closes after every response; give its close time to arrive.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(client_.Get(Url("/file.txt")), "served with a length\n");
}

TEST_F(PythonInterop, AnErrorPageRaisesWithItsBody) {
    EIdHTTPProtocolException failure = GetFailure(client_, Url("/missing.txt"));
    EXPECT_EQ(failure.ErrorCode(), 404);
    EXPECT_STREQ(failure.what(), "HTTP/1.0 404 File not found");
    EXPECT_NE(failure.ErrorBody().find("Error code: 404"), std::string::npos);
    EXPECT_FALSE(client_.IsConnected());
}

} // namespace
