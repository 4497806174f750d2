// quorvel-cli search against company boards that publish JSON, served on loopback.

#include "ChildProcess.h"
#include "DemoBoard.h"
#include "JsonBoardServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestTrustStore.h"
#include "tests/support/TlsServer.h"

#include "watch/GbkText.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

namespace {

using watch::Gbk;

const std::string NetworkMessage = "出现网络问题！请检查您的网络连接情况。";

// "2026-12-09T02:00:00+08:00" for `hours` before now: an offset other than UTC on purpose.
std::string IsoHoursAgo(double hours) {
    std::time_t at = std::time(nullptr) - static_cast<std::time_t>(hours * 3600) + 8 * 3600;
    std::tm utc{};
    gmtime_r(&at, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+08:00", &utc);
    return text;
}

std::string MillisecondsAgo(double hours) {
    return std::to_string((std::time(nullptr) - static_cast<std::time_t>(hours * 3600)) * 1000LL);
}

// One posting; Title and Link are JSON values as written ("\"Engineer\"", "42", "null").
struct TPost {
    std::string Title;
    std::string Link;
    std::string Location;
    double HoursAgo;
    bool Listed = true;
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items)
        joined += (joined.empty() ? "" : ",") + item;
    return joined;
}

std::string Greenhouse(const std::vector<TPost>& posts) {
    std::vector<std::string> jobs;
    for (size_t i = 0; i < posts.size(); ++i)
        jobs.push_back("{\"id\":" + std::to_string(i) + ",\"title\":" + posts[i].Title +
                       ",\"absolute_url\":" + posts[i].Link +
                       ",\"location\":{\"name\":" + Quoted(posts[i].Location) +
                       "},\"updated_at\":" + Quoted(IsoHoursAgo(posts[i].HoursAgo)) +
                       ",\"metadata\":null}");
    return "{\"jobs\":[" + Joined(jobs) + "],\"meta\":{\"total\":" + std::to_string(posts.size()) +
           "}}";
}

std::string Lever(const std::vector<TPost>& posts) {
    std::vector<std::string> jobs;
    for (const TPost& post : posts)
        jobs.push_back("{\"id\":\"x\",\"text\":" + post.Title + ",\"hostedUrl\":" + post.Link +
                       ",\"categories\":{\"team\":\"R&D\",\"location\":" + Quoted(post.Location) +
                       "},\"createdAt\":" + MillisecondsAgo(post.HoursAgo) + "}");
    return "[" + Joined(jobs) + "]";
}

std::string Ashby(const std::vector<TPost>& posts) {
    std::vector<std::string> jobs;
    for (const TPost& post : posts)
        jobs.push_back("{\"title\":" + post.Title + ",\"jobUrl\":" + post.Link +
                       ",\"location\":" + Quoted(post.Location) +
                       ",\"publishedAt\":" + Quoted(IsoHoursAgo(post.HoursAgo)) +
                       ",\"isListed\":" + (post.Listed ? "true" : "false") + "}");
    return "{\"apiVersion\":\"1\",\"jobs\":[" + Joined(jobs) + "]}";
}

struct TKind {
    std::string Name;
    std::string Target; // where the board asks for the company "acme"
    std::string (*Body)(const std::vector<TPost>&);
};

const TKind GreenhouseKind{"greenhouse", "/v1/boards/acme/jobs", Greenhouse};
const TKind LeverKind{"lever", "/v0/postings/acme?mode=json&skip=0&limit=100", Lever};
const TKind AshbyKind{"ashby", "/posting-api/job-board/acme", Ashby};

std::string Settings(const std::vector<std::pair<std::string, std::string>>& pairs,
                     const std::string& city, const std::string& window,
                     const std::string& board = "") {
    std::string text;
    for (size_t i = 0; i < pairs.size(); ++i)
        text += "[pair" + (i == 0 ? std::string() : std::to_string(i + 1)) +
                "]\r\ncom=" + pairs[i].first + "\r\nposition=" + pairs[i].second + "\r\n";
    text += "[City]\r\nvalue=" + city + "\r\n[PubDate]\r\nvalue=" + window + "\r\n";
    if (!board.empty())
        text += "[Board]\r\nvalue=" + board + "\r\n";
    return Gbk(text);
}

// The four output lines of each kept posting of "acme".
std::string Rows(const std::vector<std::pair<std::string, std::string>>& titlesAndLinks,
                 const std::string& company = "acme") {
    std::string out;
    for (const auto& [title, link] : titlesAndLinks)
        out += company + "\n" + title + "\n" + link + "\n===== =====\n";
    return out;
}

class JsonBoardTest : public ::testing::Test {
protected:
    TProcessResult Search(const std::string& settings, std::vector<std::string> extra) {
        WriteFile(folder.File("program.ini"), settings);
        std::vector<std::string> argv = {QUORVEL_CLI, "search", "--ini",
                                         folder.File("program.ini")};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return RunProcess(argv);
    }

    TTempFolder folder;
};

// The same postings in each kind's shape.
const std::vector<TPost> Postings = {
    {Quoted("Senior Engineer 高级工程师"), Quoted("https://jobs.example/1"), "Shanghai, China", 6},
    {Quoted("Sales Manager"), Quoted("https://jobs.example/2"), "Shanghai", 6},
    {Quoted("Backend ENGINEER"), Quoted("https://jobs.example/3"), "上海市", 30},
    {Quoted("Engineer, Data"), Quoted("https://jobs.example/4"), "Shanghai", 80},
    {Quoted("Engineer in Beijing"), Quoted("https://jobs.example/5"), "Beijing", 6},
    {"42", Quoted("https://jobs.example/6"), "Shanghai", 6},
    {Quoted("Engineer without a link"), "null", "Shanghai", 6},
    {Quoted("Engineer unlisted"), Quoted("https://jobs.example/8"), "Shanghai", 6, false},
};

TEST_F(JsonBoardTest, EachKindKeepsThePostingsOfThePairInTheBoardsOrder) {
    struct TCase {
        TKind Kind;
        std::string City, Window, Position;
        std::vector<int> Kept; // posting numbers, from 1
    };
    for (const TCase& c : std::vector<TCase>{
             {GreenhouseKind, "上海", "二天内", "engineer", {1, 3, 8}},
             {LeverKind, "上海", "二天内", "engineer", {1, 3, 8}},
             {AshbyKind, "上海", "二天内", "engineer", {1, 3}},
             {AshbyKind, "火星", "十天内", "*", {1, 2, 3, 4, 5}},
             {GreenhouseKind, "北京", "三天内", "*", {5}},
             {LeverKind, "国外", "三天内", "*", {}},
         }) {
        TJsonBoardServer server(TBodies{{c.Kind.Target, c.Kind.Body(Postings)}});
        TProcessResult result = Search(Settings({{"acme", c.Position}}, c.City, c.Window),
                                       {"--board", c.Kind.Name + "@" + server.Origin()});
        std::vector<std::pair<std::string, std::string>> expected;
        for (int number : c.Kept) {
            std::string title = Postings[number - 1].Title;
            expected.emplace_back(title.substr(1, title.size() - 2),
                                  "https://jobs.example/" + std::to_string(number));
        }
        SCOPED_TRACE(c.Kind.Name + " " + c.City + " " + c.Window + " " + c.Position);
        EXPECT_EQ(result.Out, Rows(expected));
        EXPECT_EQ(result.Err, "");
        EXPECT_EQ(result.ExitStatus, expected.empty() ? 1 : 0);
        EXPECT_EQ(server.Requested(), std::vector<std::string>{c.Kind.Target});
    }
}

std::string GreenhouseJob(const std::string& title, const std::string& extra) {
    return "{\"title\":" + Quoted(title) + ",\"absolute_url\":\"https://jobs.example/" + title +
           "\",\"location\":{\"name\":\"Remote\"}," + extra + "}";
}

TEST_F(JsonBoardTest, DateWindowsCountFromFirstPublicationElseTheLastUpdate) {
    std::string body =
        "{\"jobs\":[" +
        Joined({GreenhouseJob("h12", "\"first_published\":" + Quoted(IsoHoursAgo(12)) +
                                         ",\"updated_at\":" + Quoted(IsoHoursAgo(1))),
                GreenhouseJob("h36", "\"first_published\":" + Quoted(IsoHoursAgo(36))),
                GreenhouseJob("h60", "\"first_published\":" + Quoted(IsoHoursAgo(60))),
                GreenhouseJob("h100updated1", "\"first_published\":" + Quoted(IsoHoursAgo(100)) +
                                                  ",\"updated_at\":" + Quoted(IsoHoursAgo(1))),
                GreenhouseJob("updated12",
                              "\"first_published\":null,\"updated_at\":" + Quoted(IsoHoursAgo(12))),
                GreenhouseJob("undated", "\"updated_at\":\"yesterday\"")}) +
        "]}";
    TJsonBoardServer server(TBodies{{GreenhouseKind.Target, body}});
    for (auto [window, kept] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"一天内", {"h12", "updated12"}},
             {"二天内", {"h12", "h36", "updated12"}},
             {"三天内", {"h12", "h36", "h60", "updated12"}},
             {"", {"h12", "h36", "h60", "h100updated1", "updated12", "undated"}},
         }) {
        TProcessResult result = Search(Settings({{"acme", "*"}}, "", window),
                                       {"--board", "greenhouse@" + server.Origin()});
        std::vector<std::pair<std::string, std::string>> expected;
        for (const std::string& title : kept)
            expected.emplace_back(title, "https://jobs.example/" + title);
        EXPECT_EQ(result.Out, Rows(expected)) << window;
    }
}

TEST_F(JsonBoardTest, ABoardThatFailsShowsTheMessageOnceAndTheNextPairGoesOn) {
    const std::string fine = Greenhouse({Postings[0]});
    std::string deep(100000, '[');
    for (const auto& [what, body] : std::vector<std::pair<std::string, std::string>>{
             {"unknown company (404)", ""},
             {"not JSON", "<html>Service Unavailable</html>"},
             {"jobs of another type", "{\"jobs\":5}"},
             {"an array for an object", "[1,2]"},
             {"deep nesting", deep + std::string(100000, ']')},
             {"unclosed deep nesting", deep},
             {"invalid UTF-8", "{\"jobs\":[{\"title\":\"\xFF\xFE\",\"absolute_url\":\"x\"}]}"},
             {"cut short", fine.substr(0, fine.size() / 2)},
             // Postings the board would keep, were it not for the bound on a body in memory.
             {"over 64 MiB", fine + std::string((64u << 20) - fine.size() + 1, ' ')},
         }) {
        std::map<std::string, std::string> bodies = {{GreenhouseKind.Target, fine}};
        if (!body.empty())
            bodies["/v1/boards/broken/jobs"] = body;
        TJsonBoardServer server(bodies);
        TProcessResult result = Search(Settings({{"broken", "*"}, {"acme", "*"}}, "", ""),
                                       {"--board", "greenhouse@" + server.Origin()});
        EXPECT_EQ(result.Err, NetworkMessage + "\n") << what;
        EXPECT_EQ(result.Out, Rows({{"Senior Engineer 高级工程师", "https://jobs.example/1"}}))
            << what;
        EXPECT_EQ(result.ExitStatus, 0) << what;
    }
}

TEST_F(JsonBoardTest, HostilePostingsAreSkippedOrKeptOnOneLine) {
    const std::string huge = "Engineer " + std::string(1 << 20, 'x');
    for (const auto& [what, job, out] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"control bytes in the title",
              "{\"title\":\"A\\u0000B\\nC\\tD\\u001bE\\r\",\"absolute_url\":\"https://j/1\"}",
              Rows({{"A B C D E ", "https://j/1"}})},
             {"a huge title", "{\"title\":" + Quoted(huge) + ",\"absolute_url\":\"https://j/2\"}",
              Rows({{huge, "https://j/2"}})},
             {"a link with a line break",
              "{\"title\":\"Engineer\",\"absolute_url\":\"https://j/3\\nX-Evil: 1\"}", ""},
             {"a link that is a number", "{\"title\":\"Engineer\",\"absolute_url\":3}", ""},
             {"a title that is an object",
              "{\"title\":{\"text\":\"Engineer\"},\"absolute_url\":\"https://j/4\"}", ""},
             {"a posting that is a string", "\"Engineer\"", ""},
             {"unknown fields of every type",
              "{\"x\":[[{}],null,1e308,-0,true],\"title\":\"Engineer\",\"absolute_url\":\"https://"
              "j/5\"}",
              Rows({{"Engineer", "https://j/5"}})},
         }) {
        TJsonBoardServer server(TBodies{{GreenhouseKind.Target, "{\"jobs\":[" + job + "]}"}});
        TProcessResult result =
            Search(Settings({{"acme", "*"}}, "", ""), {"--board", "greenhouse@" + server.Origin()});
        EXPECT_EQ(result.Out, out) << what;
        EXPECT_EQ(result.Err, "") << what;
    }
}

TEST_F(JsonBoardTest, TheCompanyStaysOnePathSegment) {
    for (auto [company, target] : std::vector<std::pair<std::string, std::string>>{
             {"acme-co_1~", "/v1/boards/acme-co_1~/jobs"},
             {"acme.co", "/v1/boards/acme%2Eco/jobs"},
             {"a/b?c#d e", "/v1/boards/a%2Fb%3Fc%23d%20e/jobs"},
             {"../admin", "/v1/boards/%2E%2E%2Fadmin/jobs"},
             {"..", "/v1/boards/%2E%2E/jobs"},
             {"100%", "/v1/boards/100%25/jobs"},
             {"青禾", "/v1/boards/%E9%9D%92%E7%A6%BE/jobs"},
         }) {
        TJsonBoardServer server(TBodies{});
        Search(Settings({{company, "*"}}, "", ""), {"--board", "greenhouse@" + server.Origin()});
        EXPECT_EQ(server.Requested(), std::vector<std::string>{target}) << company;
    }
}

TEST_F(JsonBoardTest, LeverIsReadPageByPageUntilAShortPage) {
    for (int count : {0, 99, 100, 250}) {
        std::vector<TPost> posts;
        for (int i = 0; i < count; ++i)
            posts.push_back({Quoted("Job " + std::to_string(i)),
                             Quoted("https://jobs.example/" + std::to_string(i)), "Remote", 1});
        std::map<std::string, std::string> pages;
        std::vector<std::string> targets;
        for (int skip = 0; skip <= count; skip += 100) {
            std::string target =
                "/v0/postings/acme?mode=json&skip=" + std::to_string(skip) + "&limit=100";
            std::vector<TPost> page(posts.begin() + skip,
                                    posts.begin() + std::min(count, skip + 100));
            pages[target] = Lever(page);
            targets.push_back(target);
        }
        TJsonBoardServer server(pages);
        TProcessResult result =
            Search(Settings({{"acme", "*"}}, "", ""), {"--board", "lever@" + server.Origin()});
        std::vector<std::pair<std::string, std::string>> expected;
        for (int i = 0; i < count; ++i)
            expected.emplace_back("Job " + std::to_string(i),
                                  "https://jobs.example/" + std::to_string(i));
        EXPECT_EQ(result.Out, Rows(expected)) << count;
        EXPECT_EQ(server.Requested(), targets) << count;
    }
}

TEST_F(JsonBoardTest, TheBoardComesFromTheOptionElseTheSettingsFile) {
    TJsonBoardServer greenhouse(TBodies{{GreenhouseKind.Target, Greenhouse({Postings[0]})}});
    TJsonBoardServer ashby(TBodies{{AshbyKind.Target, Ashby({Postings[2]})}});
    std::string fromGreenhouse = Rows({{"Senior Engineer 高级工程师", "https://jobs.example/1"}});
    std::string fromAshby = Rows({{"Backend ENGINEER", "https://jobs.example/3"}});
    struct TCase {
        std::string Setting;
        std::vector<std::string> Options;
        int Status;
        std::string Out;
    };
    for (const TCase& c : std::vector<TCase>{
             {"greenhouse@" + greenhouse.Origin(), {}, 0, fromGreenhouse},
             {"greenhouse@" + greenhouse.Origin() + "/", {}, 0, fromGreenhouse},
             {"greenhouse@" + greenhouse.Origin(),
              {"--board", "ashby@" + ashby.Origin()},
              0,
              fromAshby},
             {"no board", {"--board", "ashby@" + ashby.Origin()}, 0, fromAshby},
             {"no board", {}, 2, ""},
             {"workday@" + greenhouse.Origin(), {}, 2, ""},
             {"", {"--board", "greenhouse@ftp://127.0.0.1"}, 2, ""},
             {"", {"--board", "lever@" + greenhouse.Origin() + "?x=1"}, 2, ""},
             {"", {"--board", "lever@"}, 2, ""},
         }) {
        TProcessResult result = Search(Settings({{"acme", "*"}}, "", "", c.Setting), c.Options);
        SCOPED_TRACE(c.Setting);
        EXPECT_EQ(result.ExitStatus, c.Status) << result.Err;
        EXPECT_EQ(result.Out, c.Out);
        if (c.Status == 2) {
            EXPECT_NE(result.Err.find("not a board"), std::string::npos) << result.Err;
        }
    }
}

} // namespace

namespace {

// Titles and links outside GBK reach the output and the exclusion comparison unchanged.
TEST_F(JsonBoardTest, EveryCharacterOfAUtf8BoardSurvives) {
    // The links differ only in characters outside GBK.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Ingénieur logiciel", "https://jobs.example/😀"},
        {"Ελληνικά ① 工程师", "https://jobs.example/😁"},
        {"Développeur 😀", "https://jobs.example/😂"},
        {"Ünïcödé ₩ €", "https://jobs.example/Ω"},
    };
    std::vector<TPost> posts;
    for (const auto& [title, link] : rows)
        posts.push_back({Quoted(title), Quoted(link), "Remote", 1});
    TJsonBoardServer server(TBodies{{AshbyKind.Target, Ashby(posts)}});
    WriteFile(folder.File("exclude.txt"), watch::GbkFromUtf8(rows[2].second));
    TProcessResult result =
        Search(Settings({{"acme", "*"}}, "", ""),
               {"--board", "ashby@" + server.Origin(), "--exclude", folder.File("exclude.txt")});
    EXPECT_EQ(result.Out, Rows({rows[0], rows[1], rows[3]}));
}

} // namespace

namespace {

// However the classic board is named, its output is the same bytes.
TEST_F(JsonBoardTest, TheClassicBoardAnswersTheSameUnderEachName) {
    TDemoBoard& classic = SharedDemoBoard();
    const std::string settings = Settings({{"青禾", "java"}}, "北京", "一天内");
    TProcessResult byHost = Search(settings, {"--board", classic.HostAndPort(), "--raw"});
    ASSERT_EQ(byHost.ExitStatus, 0) << byHost.Err;
    ASSERT_NE(byHost.Out, "");
    for (auto [setting, options] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {classic.HostAndPort(), {"--raw"}},
             {"classic@http://" + classic.HostAndPort(), {"--raw"}},
             {"", {"--board", "classic@http://" + classic.HostAndPort() + "/", "--raw"}},
         }) {
        TProcessResult result =
            Search(Settings({{"青禾", "java"}}, "北京", "一天内", setting), options);
        EXPECT_EQ(result.Out, byHost.Out) << setting;
        EXPECT_EQ(result.Err, "") << setting;
    }
}

} // namespace

namespace {

TEST_F(JsonBoardTest, WatchPollsTheBoardOfItsOptionOrSettings) {
    TJsonBoardServer server(TBodies{{LeverKind.Target, Lever({Postings[0]})}});
    const std::string found = Rows({{"Senior Engineer 高级工程师", "https://jobs.example/1"}});
    for (auto [setting, options] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"lever@" + server.Origin(), {}},
             {"no board", {"--board", "lever@" + server.Origin()}},
         }) {
        WriteFile(folder.File("program.ini"), Settings({{"acme", "*"}}, "", "", setting));
        std::vector<std::string> argv = {QUORVEL_CLI, "watch", "--ini", folder.File("program.ini")};
        argv.insert(argv.end(), options.begin(), options.end());
        TProcessResult result = RunProcess(argv);
        EXPECT_EQ(result.ExitStatus, 0) << result.Err;
        EXPECT_EQ(result.Out, found) << setting;
    }
}

} // namespace

namespace {

// Answers each request on the connection from `bodies`, as the plain board server would.
TTlsServer::THandler AnswerFrom(TBodies bodies) {
    return [bodies](TTlsServer::TPeer& peer) {
        for (std::string head = peer.ReadHead(); !head.empty(); head = peer.ReadHead())
            peer.Send(TJsonBoardServer::Response(bodies, TJsonBoardServer::Target(head)));
    };
}

// Each kind over https, with a certificate the trusted test authority issued or one the tool
// must refuse: every pair either finds its postings or shows the network message alone.
TEST_F(JsonBoardTest, EachKindIsReadOverHttpsOnlyFromACertificateItTrusts) {
    struct TCase {
        std::string What;
        TKind Kind;
        std::function<TTestCertificate()> Certificate;
        bool Trusted;
    };
    const auto valid = [] { return SharedTestTrustStore().Issue("IP:127.0.0.1"); };
    const auto expired = [] { return SharedTestTrustStore().Issue("IP:127.0.0.1", -30, -1); };
    const auto selfSigned = [] {
        SharedTestTrustStore();
        return TTestCertificate::Make("IP:127.0.0.1", -1, 30, nullptr);
    };
    const auto otherName = [] { return SharedTestTrustStore().Issue("DNS:localhost"); };
    for (const TCase& c : std::vector<TCase>{
             {"valid", GreenhouseKind, valid, true},
             {"valid", LeverKind, valid, true},
             {"valid", AshbyKind, valid, true},
             {"expired", GreenhouseKind, expired, false},
             {"self-signed", LeverKind, selfSigned, false},
             {"for another name", AshbyKind, otherName, false},
         }) {
        SCOPED_TRACE(c.Kind.Name + " " + c.What);
        TBodies bodies = {{c.Kind.Target, c.Kind.Body({Postings[0]})}};
        std::string secondTarget = c.Kind.Target;
        secondTarget.replace(secondTarget.find("acme"), 4, "bobcat");
        bodies[secondTarget] = c.Kind.Body({Postings[2]});
        TTlsServer server(c.Certificate(), AnswerFrom(bodies));
        TProcessResult result = Search(
            Settings({{"acme", "*"}, {"bobcat", "*"}}, "", ""),
            {"--board", c.Kind.Name + "@https://127.0.0.1:" + std::to_string(server.Port())});
        if (c.Trusted) {
            EXPECT_EQ(result.Out,
                      Rows({{"Senior Engineer 高级工程师", "https://jobs.example/1"}}) +
                          Rows({{"Backend ENGINEER", "https://jobs.example/3"}}, "bobcat"));
            EXPECT_EQ(result.Err, "");
            EXPECT_EQ(result.ExitStatus, 0);
        } else {
            EXPECT_EQ(result.Out, "");
            EXPECT_EQ(result.Err, NetworkMessage + "\n" + NetworkMessage + "\n");
            EXPECT_EQ(server.Accepted(), 2);
            EXPECT_EQ(server.Handshakes(), 0);
        }
    }
}

} // namespace
