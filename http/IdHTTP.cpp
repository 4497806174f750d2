#include "http/IdHTTP.h"

#include <vector>

#include "http/EIdIOHandlerPropInvalid.h"
#include "http/EIdUnknownProtocol.h"
#include "http/EIdUnsafeRequestText.h"
#include "http/IdCookieManager.h"
#include "http/IdGlobal.h"
#include "http/IdResourceStrings.h"
#include "http/IdStringStream.h"
#include "net/IdException.h"
#include "net/IdSSLIOHandlerSocket.h"

namespace {

constexpr int kDefaultPort = 80;

bool NeedsHTTP11(TIdHTTPMethod method) {
    return method == hmOptions || method == hmTrace || method == hmPut || method == hmDelete;
}

bool SendsBody(TIdHTTPMethod method) {
    return method == hmPost || method == hmPut;
}

// The code of a proxy's status line, -1 when it holds none.
std::int32_t StatusCodeOf(const std::string& statusLine) {
    return StrToIntDef(statusLine.substr(std::min<std::size_t>(9, statusLine.size()), 3), -1);
}

} // namespace

TIdCustomHTTP::TIdCustomHTTP()
    : targetURI_(std::make_unique<TIdURI>()), protocol_(std::make_unique<TIdHTTPProtocol>(*this)) {
    SetPort(kDefaultPort);
}

TIdCustomHTTP::~TIdCustomHTTP() {
    StopUsingAssignedCookieManager();
}

std::string TIdCustomHTTP::Get(const std::string& url) {
    TIdStringStream body;
    Get(url, body);
    return body.TakeString();
}

void TIdCustomHTTP::Get(const std::string& url, TIdStream& stream) {
    PerformRequest(hmGet, url, &stream, nullptr);
}

void TIdCustomHTTP::SetHost(const std::string& host) {
    TIdTCPClient::SetHost(host);
    targetURI_->Host = host;
}

void TIdCustomHTTP::SetPort(int port) {
    TIdTCPClient::SetPort(port);
    targetURI_->Port = std::to_string(port);
}

void TIdCustomHTTP::SetCookieManager(TIdCookieManager* manager) {
    if (manager == cookieManager_) {
        return;
    }
    StopUsingAssignedCookieManager();
    cookieManager_ = manager;
    ownedCookieManager_.reset();
    if (manager != nullptr) {
        manager->RegisterClient(*this);
    }
}

void TIdCustomHTTP::CookieManagerDestroyed(TIdCookieManager& manager) {
    if (&manager == cookieManager_) {
        cookieManager_ = nullptr;
    }
}

void TIdCustomHTTP::StopUsingAssignedCookieManager() {
    if (cookieManager_ != nullptr && !OwnsCookieManager()) {
        cookieManager_->UnregisterClient(*this);
    }
}

// ---------------------------------------------------------------- the exchange loop

void TIdCustomHTTP::PerformRequest(TIdHTTPMethod method, const std::string& url, TIdStream* sink,
                                   TIdStream* source) {
    const std::int64_t start = sink != nullptr ? sink->Position() : 0;
    authTries_ = 0;
    proxyAuthTries_ = 0;
    TIdHTTPRequest& request = Request();
    request.RequestURL = url;
    request.RequestMethod = method;
    request.BodySource = source;
    Response().BodySink = sink;
    try {
        for (;;) {
            ++redirectCount_;
            MergeTargetURL(request);
            OpenAndSend();
            ReadResponseHead();
            const TIdHTTPNextStep step = protocol_->DecideNextStep();
            if (step == nsDone) {
                break;
            }
            if (step == nsFollow) {
                if (sink != nullptr) {
                    sink->SetPosition(start);
                    sink->SetSize(start);
                }
                authTries_ = 0;
                proxyAuthTries_ = 0;
            } else if (step == nsAuthRetry) {
                --redirectCount_;
                request.RequestURL = url;
            } else {
                throw EIdException(RSHTTPUndefinedSituation);
            }
        }
    } catch (...) {
        EndRequest();
        throw;
    }
    EndRequest();
}

// Runs when a top-level request ends, whichever way. A response that was not read to its end
// would leave its rest in front of the next response, so such a connection is closed too.
// The caller's streams are forgotten: they need not outlive the request.
void TIdCustomHTTP::EndRequest() {
    if (!Response().IsPersistent() || responsePending_) {
        CloseConnection();
    }
    responsePending_ = false;
    redirectCount_ = 0;
    Request().BodySource = nullptr;
    Response().BodySink = nullptr;
}

// Moves `target` to the place `given` names: a missing part keeps the target's, a relative
// path is taken from the target's folder.
void TIdCustomHTTP::MergeLocation(TIdURI& target, const TIdURI& given) {
    target.Path = MergePath(target.Path, given.Path);
    target.Document = given.Document;
    target.QueryPart = given.QueryPart;
    if (!given.Host.empty()) {
        target.Host = given.Host;
    }
    target.Protocol = given.Protocol.empty() ? "http" : given.Protocol;
    if (!given.Port.empty()) {
        target.Port = given.Port;
    } else {
        const int port = StrToIntDef(target.Port, 0);
        if (port == 0 || port == 80 || port == 443) {
            if (SameText(target.Protocol, "http")) {
                target.Port = "80";
            } else if (SameText(target.Protocol, "https")) {
                target.Port = "443";
            } else {
                throw EIdUnknownProtocol();
            }
        }
    }
}

std::string TIdCustomHTTP::MergedTargetURL(const std::string& url) const {
    TIdURI target = *targetURI_;
    MergeLocation(target, TIdURI(url));
    return target.Compose({});
}

void TIdCustomHTTP::MergeTargetURL(TIdHTTPRequest& request) {
    // A link or a Location from a page must not add lines of its own to the request.
    RefuseUnsafeRequestText(request.RequestURL, RSHTTPUnsafeURL);
    TIdURI given(request.RequestURL);
    if (!given.Username.empty()) {
        request.Username = given.Username;
        request.Password = given.Password;
    }
    TIdURI& target = *targetURI_;
    target.Username = request.Username;
    target.Password = request.Password;
    MergeLocation(target, given);
    request.RequestURL = target.Path + target.Document + target.QueryPart;
    if (request.RequestMethod == hmOptions && SameText(given.Document, "*")) {
        request.RequestURL = "*";
    }
    if (NeedsHTTP11(request.RequestMethod) && ProtocolVersion != pv1_1) {
        throw EIdException(RSHTTPMethodRequiresVersion);
    }
    std::int32_t length = -1;
    if (SendsBody(request.RequestMethod)) {
        length = request.BodySource != nullptr
                     ? static_cast<std::int32_t>(request.BodySource->Size())
                     : 0;
    }
    request.SetContentLength(length);
    request.Host = target.Port == "80" ? target.Host : target.Host + ":" + target.Port;
}

void TIdCustomHTTP::OpenAndSend() {
    TIdHTTPRequest& request = Request();
    request.ConnectionKind = SelectHostAndPort();
    if (request.ConnectionKind == ckProxy) {
        request.RequestURL = targetURI_->FullText();
    }
    if (ProtocolVersion == pv1_0) {
        if (request.ConnectionKind == ckDirect && request.Connection.empty()) {
            request.Connection = "keep-alive";
        } else if (request.ConnectionKind == ckProxy && request.ProxyConnection.empty()) {
            request.ProxyConnection = "keep-alive";
        }
    }
    if (request.ConnectionKind == ckSSL || request.ConnectionKind == ckSSLProxy) {
        request.Connection.clear();
    }
    EnsureConnected(Response());
    responsePending_ = true;
    protocol_->SendRequest(targetURI_.get());
    if (SendsBody(request.RequestMethod) && request.BodySource != nullptr) {
        WriteFromStream(*request.BodySource);
    }
}

TIdHTTPConnectionType TIdCustomHTTP::SelectHostAndPort() {
    const TIdURI& target = *targetURI_;
    const bool secure = SameText(target.Protocol, "HTTPS");
    if (OnSelectProxy) {
        OnSelectProxy(target, ProxyParams);
    }
    TIdSSLIOHandlerSocket* ssl = SSLHandler();
    if (!ProxyParams.ProxyServer.empty()) {
        // The target keeps naming the origin server: only the connection goes to the proxy.
        MoveConnection(ProxyParams.ProxyServer, ProxyParams.ProxyPort);
        if (secure && ssl == nullptr) {
            throw EIdIOHandlerPropInvalid(RSIOHandlerPropInvalid);
        }
        // A tunnel leads to one origin only; forwarded requests share a plain connection.
        KeepOnlyConnectionOf(secure ? "tunnel " + target.Host + ":" + target.Port : "proxy");
        if (ssl != nullptr) {
            ssl->PassThrough = true;
        }
        return secure ? ckSSLProxy : ckProxy;
    }
    const int port = StrToInt(target.Port);
    if (!SameText(Host(), target.Host) || Port() != port) {
        if (IsConnected()) {
            CloseConnection();
        }
        SetHost(target.Host);
        SetPort(port);
    }
    if (secure && ssl == nullptr) {
        throw EIdIOHandlerPropInvalid(RSIOHandlerPropInvalid);
    }
    // An https page never goes over an open plain connection, nor an http one in clear
    // over an open TLS connection.
    KeepOnlyConnectionOf(secure ? "https" : "http");
    if (ssl != nullptr) {
        ssl->PassThrough = !secure;
    }
    return secure ? ckSSL : ckDirect;
}

void TIdCustomHTTP::KeepOnlyConnectionOf(const std::string& kind) {
    if (kind != connectionKind_ && IsConnected()) {
        CloseConnection();
    }
    connectionKind_ = kind;
}

TIdSSLIOHandlerSocket* TIdCustomHTTP::SSLHandler() const {
    return dynamic_cast<TIdSSLIOHandlerSocket*>(IOHandler());
}

void TIdCustomHTTP::MoveConnection(const std::string& host, int port) {
    if (SameText(Host(), host) && Port() == port) {
        return;
    }
    if (IsConnected()) {
        CloseConnection();
    }
    TIdTCPClient::SetHost(host);
    TIdTCPClient::SetPort(port);
}

void TIdCustomHTTP::EnsureConnected(TIdHTTPResponse& response) {
    if (!response.IsPersistent()) {
        CloseConnection();
    }
    if (IsConnected()) {
        PollForClose(false);
    }
    if (IsConnected()) {
        return;
    }
    try {
        OpenConnection(ReadTimeout);
        if (Request().ConnectionKind == ckSSLProxy) {
            OpenTunnel();
        }
    } catch (const EIdTLSError&) {
        CloseConnection();
        throw;
    }
}

void TIdCustomHTTP::OpenTunnel() {
    try {
        AskForTunnel();
    } catch (...) {
        // Whatever the proxy left unread makes the connection useless.
        CloseConnection();
        throw;
    }
    SSLHandler()->StartTLS(targetURI_->Host, ReadTimeout);
}

void TIdCustomHTTP::AskForTunnel() {
    const std::string authority = targetURI_->Host + ":" + targetURI_->Port;
    TIdHeaderList headers;
    headers.SetHeader("Host", authority);
    ProxyParams.BuildHeaders(headers);
    const std::string requestLine = "CONNECT " + authority + " HTTP/1.1";
    RefuseUnsafeRequestText(requestLine, RSHTTPUnsafeURL);
    for (const std::string& line : headers.Lines()) {
        RefuseUnsafeRequestText(line, RSHTTPUnsafeHeader);
    }
    BeginWriteBatch(-1);
    WriteLine(requestLine);
    for (const std::string& line : headers.Lines()) {
        WriteLine(line);
    }
    WriteLine({});
    EndWriteBatch();
    const std::string statusLine = ReadLine();
    while (!ReadLine().empty()) {
    }
    const std::int32_t code = StatusCodeOf(statusLine);
    if (code < 200 || code > 299) {
        throw EIdHTTPProtocolException(code, statusLine, {});
    }
}

void TIdCustomHTTP::ReadResponseHead() {
    TIdHTTPResponse& response = Response();
    do {
        response.StatusLine = ReadLine();
        protocol_->ReadHeaderBlock();
        StoreResponseCookies(Request(), response);
    } while (response.StatusCode() == 100);
}

// ---------------------------------------------------------------- cookies

void TIdCustomHTTP::StoreResponseCookies(TIdHTTPRequest& /*request*/, TIdHTTPResponse& response) {
    if (cookieManager_ == nullptr && AllowCookies) {
        ownedCookieManager_ = std::make_unique<TIdCookieManager>();
        cookieManager_ = ownedCookieManager_.get();
    }
    if (cookieManager_ == nullptr) {
        return;
    }
    std::vector<std::string> cookies;
    std::vector<std::string> cookies2;
    response.HeaderLines.CollectValues("Set-cookie", &cookies);
    response.HeaderLines.CollectValues("Set-cookie2", &cookies2);
    const std::string& host = targetURI_->Host;
    for (const std::string& cookie : cookies) {
        cookieManager_->TakeSetCookie(cookie, host);
    }
    for (const std::string& cookie : cookies2) {
        cookieManager_->TakeSetCookie2(cookie, host);
    }
}

void TIdCustomHTTP::AttachRequestCookies(const TIdURI& uri, TIdHTTPRequest& request) {
    if (cookieManager_ == nullptr) {
        return;
    }
    // Secure cookies go only where the connection itself is TLS: an SSL handler in
    // pass-through carries plain http.
    const TIdSSLIOHandlerSocket* ssl = SSLHandler();
    std::string cookies = cookieManager_->CookieHeaderFor(uri, ssl != nullptr && ssl->TLSActive());
    RefuseUnsafeRequestText(cookies, RSHTTPUnsafeHeader);
    if (!cookies.empty()) {
        request.HeaderLines.SetHeader("Cookie", cookies);
    }
}

// ---------------------------------------------------------------- the body

void TIdCustomHTTP::ReadBody(TIdHTTPResponse& response, bool shortBodyAccepted) {
    TIdStream* sink = response.BodySink;
    if (sink == nullptr) {
        return;
    }
    if (response.ContentLength() > 0) {
        try {
            ReadToStream(*sink, response.ContentLength());
        } catch (const EIdConnClosedGracefully&) {
            if (!shortBodyAccepted) {
                throw;
            }
        }
        return;
    }
    if (response.HeaderLines.ValueOf("Transfer-Encoding").find("chunked") != std::string::npos) {
        ReadChunkedBody(*sink);
    } else if (!response.LengthKnown()) {
        ReadToStream(*sink, -1, true);
    }
}

void TIdCustomHTTP::ReadChunkedBody(TIdStream& sink) {
    ReportStatus(hsStatusText, RSHTTPChunkStarted);
    std::int32_t size = ReadChunkHeader();
    while (size > 0) {
        ReadToStream(sink, size);
        ReadLine();
        size = ReadChunkHeader();
    }
    ReadLine();
}

std::int32_t TIdCustomHTTP::ReadChunkHeader() {
    std::string line = ReadLine();
    line.resize(std::min(line.find(' '), line.size()));
    return StrToIntDef("$" + line, 0);
}

// ---------------------------------------------------------------- redirects, authentication

bool TIdCustomHTTP::ConsultRedirect(std::string& dest, TIdHTTPMethod& method, int count) {
    bool handled = HandleRedirects;
    if (OnRedirect) {
        OnRedirect(*this, dest, count, handled, method);
    }
    return handled;
}

namespace {

// Creates the scheme for the first challenge whose scheme is registered, letting select
// replace the choice. Null when no challenge names a registered scheme.
std::unique_ptr<TIdAuthentication>
SchemeFor(TIdCustomHTTP& client, const TIdHeaderList& challenges,
          const TIdCustomHTTP::TIdOnSelectAuthorization& select) {
    for (const std::string& challenge : challenges.Lines()) {
        std::string rest = challenge;
        std::string scheme = TakeToken(rest, " ");
        if (!FindAuthenticationMethod(scheme)) {
            continue;
        }
        if (select) {
            select(client, scheme, challenges);
        }
        TIdAuthenticationFactory factory = FindAuthenticationMethod(scheme);
        return factory ? factory() : nullptr;
    }
    return nullptr;
}

bool Authorize(TIdCustomHTTP& client, std::unique_ptr<TIdAuthentication>& scheme,
               const TIdHeaderList& challenges,
               const TIdCustomHTTP::TIdOnSelectAuthorization& select,
               const TIdCustomHTTP::TIdOnAuthorization& authorize) {
    if (!scheme) {
        scheme = SchemeFor(client, challenges, select);
        if (!scheme) {
            return false;
        }
    }
    if (!authorize) {
        return false;
    }
    bool handled = false;
    authorize(client, *scheme, handled);
    return handled;
}

} // namespace

bool TIdCustomHTTP::AuthorizeServer() {
    ++authTries_;
    return Authorize(*this, Request().Authentication, Response().WWWAuthenticate,
                     OnSelectAuthorization, OnAuthorization);
}

bool TIdCustomHTTP::AuthorizeProxy() {
    ++proxyAuthTries_;
    return Authorize(*this, ProxyParams.Authentication, Response().ProxyAuthenticate,
                     OnSelectProxyAuthorization, OnProxyAuthorization);
}

void TIdCustomHTTP::NotifyDisconnected() {
    TIdTCPClient::NotifyDisconnected();
    std::unique_ptr<TIdAuthentication>& scheme = Request().Authentication;
    if (scheme && scheme->Finished()) {
        scheme.reset();
    }
    ProxyParams.Authentication.reset();
}
