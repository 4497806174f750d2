#include "http/IdURI.h"
#include "http/EIdURIException.h"
#include "tests/http/LeadBytesGuard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ParseCase {
    const char* text;
    const char* protocol;
    const char* host;
    const char* port;
    const char* path;
    const char* document;
    const char* query;
    const char* fragment;
};

void PrintTo(const ParseCase& row, std::ostream* out) {
    *out << row.text;
}

class ParsingTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParsingTable, SplitsIntoParts) {
    const ParseCase& row = GetParam();
    const TIdURI uri(row.text);
    EXPECT_EQ(uri.Protocol, row.protocol);
    EXPECT_EQ(uri.Host, row.host);
    EXPECT_EQ(uri.Port, row.port);
    EXPECT_EQ(uri.Path, row.path);
    EXPECT_EQ(uri.Document, row.document);
    EXPECT_EQ(uri.QueryPart, row.query);
    EXPECT_EQ(uri.Fragment, row.fragment);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ParsingTable,
    testing::Values(ParseCase{"http://h:8080/a/b/c.php?x=1#top", "http", "h", "8080", "/a/b/",
                              "c.php", "?x=1", "top"},
                    ParseCase{"http://h", "http", "h", "", "/", "", "", ""},
                    ParseCase{"http://h/a", "http", "h", "", "/", "a", "", ""},
                    ParseCase{"http://h/a/", "http", "h", "", "/a/", "", "", ""},
                    ParseCase{"http://h/a?b/c", "http", "h", "", "/", "a", "?b/c", ""},
                    ParseCase{"http://h/dir/page=1", "http", "h", "", "/dir/", "page", "=1", ""},
                    ParseCase{"http://h/p.php#top", "http", "h", "", "/", "p.php", "", "top"},
                    ParseCase{"p.php#top", "", "", "", "", "p.php#top", "", ""},
                    ParseCase{"sub/p.php?q=1#f", "", "", "", "sub/", "p.php", "?q=1", "f"},
                    ParseCase{"HTTP://h/", "HTTP", "h", "", "/", "", "", ""}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ParsingTable,
    testing::Values(
        // A relative text with "://" later on reads as absolute.
        ParseCase{"page.php?ret=http://x/", "page.php?ret=http", "x", "", "/", "", "", ""},
        ParseCase{"http://h:/a", "http", "h", "", "/", "a", "", ""},
        ParseCase{"http://h/a/b?c=d/e=f#g/h", "http", "h", "", "/a/", "b", "?c=d/e=f", "g/h"},
        ParseCase{"http://h/a/b#f?q", "http", "h", "", "/a/", "b", "?q", "f"},
        ParseCase{"http://h/a b/\xB1\xB1.php?k=%B1%B1", "http", "h", "", "/a b/", "\xB1\xB1.php",
                  "?k=%B1%B1", ""},
        ParseCase{"a/b/", "", "", "", "a/b/", "", "", ""},
        ParseCase{"/x/y=1/z", "", "", "", "/x/", "y", "=1/z", ""},
        ParseCase{"", "", "", "", "", "", "", ""}));

TEST(TIdURI, SearchUrlKeepsItsQueryByteForByte) {
    const std::string query = "?fromJs=1&jobarea=010000&keyword=%B1%B1%BE%A9&keywordtype=0";
    const TIdURI uri("http://search.example.com/jobsearch/search_result.php" + query);
    EXPECT_EQ(uri.Path, "/jobsearch/");
    EXPECT_EQ(uri.Document, "search_result.php");
    EXPECT_EQ(uri.QueryPart, query);
}

struct UserInfoCase {
    const char* text;
    const char* username;
    const char* password;
};

void PrintTo(const UserInfoCase& row, std::ostream* out) {
    *out << row.text;
}

class UserInfo : public testing::TestWithParam<UserInfoCase> {};

TEST_P(UserInfo, IsSplitOffTheHost) {
    const TIdURI uri(GetParam().text);
    EXPECT_EQ(uri.Username, GetParam().username);
    EXPECT_EQ(uri.Password, GetParam().password);
    EXPECT_EQ(uri.Host, "h");
    EXPECT_EQ(uri.Port, "81");
}

INSTANTIATE_TEST_SUITE_P(Forms, UserInfo,
                         testing::Values(UserInfoCase{"http://u:p@h:81/", "u", "p"},
                                         UserInfoCase{"http://u@h:81/", "u", ""},
                                         UserInfoCase{"http://:p@h:81/", "", ""},
                                         UserInfoCase{"http://@h:81/", "", ""},
                                         UserInfoCase{"http://u:p:q@h:81/", "u", "p:q"},
                                         UserInfoCase{"http://h:81/x@y", "", ""}));

TEST(TIdURI, BackslashesBecomeSlashesBeforeParsing) {
    TIdURI uri("http://h\\a\\b.php");
    EXPECT_EQ(uri.StoredText(), "http://h/a/b.php");
    EXPECT_EQ(uri.Path, "/a/");
    EXPECT_EQ(uri.Document, "b.php");
}

TEST(TIdURI, BackslashAsTrailByteStaysUnderGbk) {
    const TIdURI uri("http://h/\x95\\\\x.php");
    EXPECT_EQ(uri.Path, "/\x95\\/");
    EXPECT_EQ(uri.Document, "x.php");
    LeadBytesGuard plain{TIdLeadByteSet{}};
    const TIdURI plainUri("http://h/\x95\\\\x.php");
    EXPECT_EQ(plainUri.Path, "/\x95//");
}

TEST(TIdURI, AssigningClearsThePreviousParts) {
    TIdURI uri("http://u:p@h:1/a/b?c#d");
    uri.AssignText("x.php");
    EXPECT_EQ(uri.Protocol, "");
    EXPECT_EQ(uri.Username, "");
    EXPECT_EQ(uri.Password, "");
    EXPECT_EQ(uri.Host, "");
    EXPECT_EQ(uri.Port, "");
    EXPECT_EQ(uri.Path, "");
    EXPECT_EQ(uri.Document, "x.php");
    EXPECT_EQ(uri.QueryPart, "");
    EXPECT_EQ(uri.Fragment, "");
}

TEST(TIdURI, ComposesWithTheOptionalPartsAsked) {
    const TIdURI uri("http://u:p@h:80/x?y#z");
    EXPECT_EQ(uri.Compose({}), "http://h:80/x?y");
    EXPECT_EQ(uri.Compose({.WithFragment = true}), "http://h:80/x?y#z");
    EXPECT_EQ(uri.Compose({.WithUserInfo = true}), "http://u:p@h:80/x?y");
    TIdURI noPassword;
    noPassword.Protocol = "http";
    noPassword.Username = "u";
    noPassword.Host = "h";
    EXPECT_EQ(noPassword.Compose({.WithUserInfo = true}), "http://u@h");
}

TEST(TIdURI, ComposingNeedsProtocolAndHost) {
    TIdURI uri("/a/b");
    try {
        uri.Compose({});
        FAIL() << "composed without a protocol";
    } catch (const EIdURIException& error) {
        EXPECT_STREQ(error.what(), "Protocol field is empty");
        EXPECT_STREQ(error.ClassName(), "EIdURIException");
    }
    uri.Protocol = "http";
    try {
        uri.FullText();
        FAIL() << "composed without a host";
    } catch (const EIdURIException& error) {
        EXPECT_STREQ(error.what(), "Host field is empty");
    }
    EXPECT_EQ(uri.StoredText(), "/a/b");
}

TEST(TIdURI, FullTextReadStoresTheWholeTextAndReturnsTheShortOne) {
    TIdURI uri;
    uri.SetFullText("HTTP://u:p@h\\x?y#z");
    EXPECT_EQ(uri.StoredText(), "HTTP://u:p@h/x?y#z");
    uri.Host = "other";
    EXPECT_EQ(uri.FullText(), "HTTP://other/x?y");
    EXPECT_EQ(uri.StoredText(), "HTTP://u:p@other/x?y#z");
}

} // namespace
