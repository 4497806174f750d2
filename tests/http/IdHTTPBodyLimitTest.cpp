// A body held in memory is bounded whatever its framing, since its size is the peer's to
// choose; a body that the caller streams to a stream of its own is not.

#include <gtest/gtest.h>

#include <string>

#include "http/EIdResponseBodyTooLarge.h"
#include "http/IdHTTP.h"
#include "net/IdStream.h"
#include "tests/support/ScriptedPeer.h"

namespace {

using Peer = TScriptedPeer;

const std::string kHeadEnd = "\r\n\r\n";
constexpr std::int64_t kMebibyte = 1024 * 1024;
constexpr std::int64_t kBound = 64 * kMebibyte;
// One mebibyte more than the bound, in mebibyte pieces.
constexpr std::int64_t kPiecesBeyond = 65;

const std::string& Piece() {
    static const std::string piece(kMebibyte, 'b');
    return piece;
}

const std::string& ChunkOfAPiece() {
    static const std::string chunk = "100000\r\n" + Piece() + "\r\n";
    return chunk;
}

// A stream that counts what it is given and keeps none of it.
class CountingStream : public TIdStream {
public:
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override { position_ = position; }
    std::int64_t Size() const override { return size_; }
    void SetSize(std::int64_t size) override {
        size_ = size;
        position_ = std::min(position_, size);
    }
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void*, std::int64_t count) override {
        position_ += count;
        size_ = std::max(size_, position_);
        return count;
    }

private:
    std::int64_t position_ = 0;
    std::int64_t size_ = 0;
};

class BodyLimit : public ::testing::Test {
protected:
    BodyLimit() { client_.ReadTimeout = 5000; }

    std::string Url(const Peer& peer) const {
        return "http://127.0.0.1:" + std::to_string(peer.Port()) + "/";
    }

    // What Get(url) raised, as class and message; "" when it returned.
    std::string Failure(const Peer& peer) {
        try {
            client_.Get(Url(peer));
        } catch (const EIdException& failure) {
            return std::string(failure.ClassName()) + ": " + failure.what();
        }
        return "";
    }

    TIdHTTP client_;
};

const char kRefused[] =
    "EIdResponseBodyTooLarge: Response body is larger than 64 MiB, the most held in memory";

TEST_F(BodyLimit, EveryFramingIsRefusedBeyondSixtyFourMebibytesAndTheConnectionClosed) {
    const std::string lengthHead =
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kPiecesBeyond * kMebibyte) +
        kHeadEnd;
    struct TFraming {
        const char* Name;
        Peer::TScript Script;
    };
    const TFraming framings[] = {
        {"length",
         {Peer::ExpectUntil(kHeadEnd), Peer::Send(lengthHead), Peer::Send(Piece(), kPiecesBeyond)}},
        {"chunked",
         {Peer::ExpectUntil(kHeadEnd),
          Peer::Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"),
          Peer::Send(ChunkOfAPiece(), kPiecesBeyond), Peer::Send("0\r\n\r\n")}},
        {"until close",
         {Peer::ExpectUntil(kHeadEnd), Peer::Send("HTTP/1.0 200 OK\r\n\r\n"),
          Peer::Send(Piece(), kPiecesBeyond), Peer::Close()}},
    };
    for (const TFraming& framing : framings) {
        SCOPED_TRACE(framing.Name);
        Peer peer({framing.Script});
        EXPECT_EQ(Failure(peer), kRefused);
        EXPECT_FALSE(client_.IsConnected());
    }
}

TEST_F(BodyLimit, AnErrorPageBeyondTheBoundIsRefusedTheSameWay) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd), Peer::Send("HTTP/1.1 404 Not Found\r\n\r\n"),
                Peer::Send(Piece(), kPiecesBeyond), Peer::Close()}});
    EXPECT_EQ(Failure(peer), kRefused);
}

TEST_F(BodyLimit, ABodyOfExactlySixtyFourMebibytesIsReturned) {
    Peer peer(
        {{Peer::ExpectUntil(kHeadEnd),
          Peer::Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kBound) + kHeadEnd),
          Peer::Send(Piece(), kBound / kMebibyte)}});
    const std::string body = client_.Get(Url(peer));
    EXPECT_EQ(static_cast<std::int64_t>(body.size()), kBound);
    EXPECT_EQ(body.find_first_not_of('b'), std::string::npos);
    EXPECT_TRUE(client_.IsConnected());
}

TEST_F(BodyLimit, ABodyStreamedToTheCallersStreamHasNoBound) {
    Peer peer({{Peer::ExpectUntil(kHeadEnd),
                Peer::Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"),
                Peer::Send(ChunkOfAPiece(), kPiecesBeyond), Peer::Send("0\r\n\r\n")}});
    CountingStream stream;
    client_.Get(Url(peer), stream);
    EXPECT_EQ(stream.Size(), kPiecesBeyond * kMebibyte);
}

} // namespace
