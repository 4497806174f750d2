#include "http/IdHTTPProtocol.h"

#include <string_view>

#include "http/EIdUnsafeRequestText.h"
#include "http/IdHTTP.h"
#include "http/IdResourceStrings.h"
#include "http/IdStringStream.h"
#include "net/IdException.h"

namespace {

constexpr int kErrorBodyTimeout = 2000;
constexpr int kDrainTimeout = 4000;
// A header block whose text (its lines with their CR LF) grows past this is refused: a
// peer that never ends its head must not fill memory.
constexpr std::size_t kMaxHeaderBlockText = 1024 * 1024;

std::string_view MethodText(TIdHTTPMethod method) {
    switch (method) {
    case hmHead:
        return "HEAD ";
    case hmGet:
        return "GET ";
    case hmPost:
        return "POST ";
    case hmOptions:
        return "OPTIONS ";
    case hmTrace:
        return "TRACE ";
    case hmPut:
        return "PUT ";
    case hmDelete:
        return "DELETE ";
    case hmConnect:
        return "CONNECT ";
    }
    return {};
}

// Sets the connection's ReadTimeout for a while and always puts the old value back.
class TemporaryReadTimeout {
public:
    TemporaryReadTimeout(TIdTCPConnection& connection, int timeout)
        : connection_(connection), saved_(connection.ReadTimeout) {
        connection_.ReadTimeout = timeout;
    }
    ~TemporaryReadTimeout() { connection_.ReadTimeout = saved_; }
    TemporaryReadTimeout(const TemporaryReadTimeout&) = delete;
    TemporaryReadTimeout& operator=(const TemporaryReadTimeout&) = delete;

private:
    TIdTCPConnection& connection_;
    int saved_;
};

// Puts a scratch stream in place of the response's body sink and always puts the caller's
// sink back.
class ScratchBodySink {
public:
    explicit ScratchBodySink(TIdHTTPResponse& response)
        : response_(response), saved_(response.BodySink) {
        response_.BodySink = &scratch_;
    }
    ~ScratchBodySink() { response_.BodySink = saved_; }
    ScratchBodySink(const ScratchBodySink&) = delete;
    ScratchBodySink& operator=(const ScratchBodySink&) = delete;

    std::string TakeText() { return scratch_.TakeString(); }

private:
    TIdHTTPResponse& response_;
    TIdStream* saved_;
    TIdStringStream scratch_;
};

} // namespace

TIdHTTPProtocol::TIdHTTPProtocol(TIdCustomHTTP& client)
    : client_(client), request_(client), response_(client) {}

void TIdHTTPProtocol::SendRequest(const TIdURI* uri) {
    request_.BuildHeaders();
    // Inside a tunnel the request goes to the origin server, which must not see the
    // proxy's credentials.
    if (request_.ConnectionKind != ckSSLProxy) {
        client_.ProxyParams.BuildHeaders(request_.HeaderLines);
    }
    if (uri != nullptr) {
        client_.AttachRequestCookies(*uri, request_);
    }
    std::string requestLine;
    requestLine.reserve(16 + request_.RequestURL.size());
    requestLine.append(MethodText(request_.RequestMethod))
        .append(request_.RequestURL)
        .append(" HTTP/")
        .append(VersionText(client_.ProtocolVersion));
    // Every line is looked at before the first one is written: a refused head sends nothing.
    RefuseUnsafeRequestText(requestLine, RSHTTPUnsafeURL);
    for (const std::string& line : request_.HeaderLines.Lines()) {
        RefuseUnsafeRequestText(line, RSHTTPUnsafeHeader);
    }
    client_.BeginWriteBatch(-1);
    try {
        client_.WriteLine(requestLine);
        for (const std::string& line : request_.HeaderLines.Lines()) {
            if (!line.empty()) {
                client_.WriteLine(line);
            }
        }
        client_.WriteLine({});
    } catch (...) {
        client_.ClearWriteBatch();
        client_.EndWriteBatch();
        throw;
    }
    client_.EndWriteBatch();
}

void TIdHTTPProtocol::ReadHeaderBlock() {
    TIdHeaderList& lines = response_.HeaderLines;
    lines.Clear();
    std::string line = client_.ReadLine();
    std::size_t blockText = 0;
    try {
        while (!line.empty()) {
            blockText += line.size() + 2;
            if (blockText > kMaxHeaderBlockText) {
                client_.CloseConnection();
                throw EIdReadLnMaxLineLengthExceeded();
            }
            lines.Add(std::move(line));
            line = client_.ReadLine();
        }
    } catch (const EIdConnClosedGracefully&) {
        client_.CloseConnection();
    }
    response_.ParseHeaders();
}

TIdHTTPNextStep TIdHTTPProtocol::DecideNextStep() {
    const std::int32_t code = response_.StatusCode();
    const std::int32_t statusClass = code / 100;
    if ((statusClass == 3 && code != 304) || !response_.Location.empty()) {
        std::string dest = response_.Location;
        TIdHTTPMethod method = request_.RequestMethod;
        TIdHTTPNextStep step = nsDone;
        if (client_.HandleRedirects && client_.redirectCount_ < client_.RedirectMaximum) {
            if (!client_.ConsultRedirect(dest, method, client_.redirectCount_)) {
                RaiseProtocolError();
            }
            request_.RequestURL = dest;
            request_.RequestMethod = method;
            step = nsFollow;
        } else {
            if (!client_.ConsultRedirect(dest, method, client_.redirectCount_)) {
                RaiseProtocolError();
            }
            response_.Location = dest;
        }
        if (client_.IsConnected()) {
            DrainQuietly();
        }
        return step;
    }

    TIdHTTPNextStep step = statusClass == 2 ? nsUndefined : nsFollow;
    bool authenticationPending = false;
    if (statusClass != 2) {
        if (code != 401 && code != 407) {
            RaiseProtocolError();
        }
        authenticationPending =
            AcceptAuthentication(code) && client_.HTTPOptions.Contains(hoInProcessAuth);
    }
    if (!client_.IsConnected()) {
        return step;
    }
    if (authenticationPending) {
        DrainQuietly();
        return nsAuthRetry;
    }
    if (code != 204) {
        client_.ReadBody(response_);
    }
    client_.responsePending_ = false;
    return nsDone;
}

// Answers a 401 or 407: true when the scheme got credentials for another try; otherwise
// the scheme object is dropped and the status raises.
bool TIdHTTPProtocol::AcceptAuthentication(int code) {
    const bool server = code == 401;
    const int tries = server ? client_.authTries_ : client_.proxyAuthTries_;
    if (tries < client_.AuthRetries &&
        (server ? client_.AuthorizeServer() : client_.AuthorizeProxy())) {
        return true;
    }
    (server ? request_.Authentication : client_.ProxyParams.Authentication).reset();
    RaiseProtocolError();
}

void TIdHTTPProtocol::RaiseProtocolError() {
    TemporaryReadTimeout timeout(client_, kErrorBodyTimeout);
    ScratchBodySink errorBody(response_);
    client_.ReadBody(response_, true);
    client_.responsePending_ = false;
    throw EIdHTTPProtocolException(response_.StatusCode(), response_.StatusLine,
                                   errorBody.TakeText());
}

void TIdHTTPProtocol::DrainBody() {
    ScratchBodySink discarded(response_);
    client_.ReadBody(response_);
    client_.responsePending_ = false;
}

// Drains under the drain time limit. A failure is not the caller's concern, but it leaves
// part of the body unread, so the connection cannot carry another request.
void TIdHTTPProtocol::DrainQuietly() {
    TemporaryReadTimeout timeout(client_, kDrainTimeout);
    try {
        DrainBody();
    } catch (const std::exception&) {
        client_.CloseConnection();
        client_.responsePending_ = false;
    }
}
