// Response reading over arbitrary bytes from the server: status lines, header blocks, every
// body framing, cookies and redirects, through an IO handler that serves the input from
// memory in pieces of a chosen size and then reports the peer's close. Two requests run on
// the one client, so whatever the first response leaves behind is read by the second.

#include "FuzzInput.h"
#include "http/EConvertError.h"
#include "http/IdHTTP.h"
#include "net/IdException.h"
#include "net/IdIOHandler.h"
#include "net/IdStream.h"

#include <algorithm>
#include <cstring>

namespace {

class MemoryIOHandler : public TIdIOHandler {
public:
    MemoryIOHandler(std::string bytes, int pieceSize)
        : bytes_(std::move(bytes)), pieceSize_(pieceSize) {}

    void OpenHandler() override { open_ = true; }
    void CloseHandler() override { open_ = false; }
    bool HandlerConnected() override { return open_; }
    // Data or the close is always there at once, so no read ever waits.
    bool WaitReadable(int) override { return true; }

    int ReceiveSome(void* buffer, int length) override {
        const auto count = static_cast<int>(
            std::min<std::size_t>({bytes_.size() - served_, static_cast<std::size_t>(length),
                                   static_cast<std::size_t>(pieceSize_)}));
        std::memcpy(buffer, bytes_.data() + served_, static_cast<std::size_t>(count));
        served_ += static_cast<std::size_t>(count);
        return count;
    }

    int SendSome(const void*, int length) override { return length; }

private:
    std::string bytes_;
    std::size_t served_ = 0;
    int pieceSize_;
    bool open_ = false;
};

constexpr int kPieceSizes[] = {1, 2, 7, 64, 1000, 32768};

void GetGuarded(TIdHTTP& client, const std::string& url) {
    try {
        TIdMemoryStream body;
        client.Get(url, body);
    } catch (const EIdException&) {
        // Every refusal of a response is one of the client's exceptions.
    } catch (const EConvertError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t options = input.TakeByte();
    MemoryIOHandler handler(input.Rest(), kPieceSizes[options % std::size(kPieceSizes)]);

    TIdHTTP client;
    client.SetIOHandler(&handler);
    client.ReadTimeout = 1000;
    client.HandleRedirects = (options & 0x10) != 0;
    client.ProtocolVersion = (options & 0x20) != 0 ? pv1_0 : pv1_1;
    client.MaxLineAction = (options & 0x40) != 0 ? maSplit : maException;
    GetGuarded(client, "http://127.0.0.1/search?p=1");
    GetGuarded(client, "/search?p=2");
    return 0;
}
