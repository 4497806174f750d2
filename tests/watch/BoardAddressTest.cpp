#include "watch/BoardAddress.h"
#include "watch/BoardTextException.h"

#include <gtest/gtest.h>

using watch::TBoardAddress;

TEST(BoardAddress, NamesAKindAtItsAddress) {
    struct TCase {
        std::string Text;
        TBoardAddress::TKind Kind;
        std::string Origin;
    };
    for (const TCase& c : std::vector<TCase>{
             {"", TBoardAddress::bkClassic, "http://build.example:81"},
             {"classic", TBoardAddress::bkClassic, "http://build.example:81"},
             {"jobs.example", TBoardAddress::bkClassic, "http://jobs.example"},
             {"127.0.0.1:18093", TBoardAddress::bkClassic, "http://127.0.0.1:18093"},
             {"greenhouse", TBoardAddress::bkGreenhouse, "https://boards-api.greenhouse.io"},
             {"lever", TBoardAddress::bkLever, "https://api.lever.co"},
             {"ashby", TBoardAddress::bkAshby, "https://api.ashbyhq.com"},
             {"greenhouse@https://127.0.0.1:8443", TBoardAddress::bkGreenhouse,
              "https://127.0.0.1:8443"},
             {"lever@https://api.eu.lever.co/", TBoardAddress::bkLever, "https://api.eu.lever.co"},
             {"ashby@http://h:1/base/path//", TBoardAddress::bkAshby, "http://h:1/base/path"},
             {"classic@https://host", TBoardAddress::bkClassic, "https://host"},
         }) {
        TBoardAddress board = TBoardAddress::Parse(c.Text, "build.example:81");
        EXPECT_EQ(board.Kind, c.Kind) << c.Text;
        EXPECT_EQ(board.Origin, c.Origin) << c.Text;
    }
}

TEST(BoardAddress, RefusesTextThatNamesNoBoard) {
    for (const std::string text : {
             "host/path",
             "127.0.0.1:http",
             "127.0.0.1:70000",
             "127.0.0.1:0",
             "two words",
             "Greenhouse@https://h",
             "workday@https://h",
             "lever@",
             "lever@h:1",
             "lever@ftp://h",
             "lever@https://",
             "lever@https://h:x",
             "lever@https://h/a?b",
             "lever@https://h/a#b",
             "lever@https://user@h",
             "lever@https://h/a b",
             "lever@https://h/\r\nX: 1",
             "lever@https://h/%2e",
             "host\x01",
             "@",
         }) {
        EXPECT_THROW(TBoardAddress::Parse(text, "build.example"), watch::EBoardTextException)
            << text;
    }
}
