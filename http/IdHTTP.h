#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "http/EIdHTTPProtocolException.h"
#include "http/IdCookieManagerClient.h"
#include "http/IdHTTPHeaderInfo.h"
#include "http/IdHTTPProtocol.h"
#include "http/IdProxyConnectionInfo.h"
#include "http/IdURI.h"
#include "net/IdTCPClient.h"

class TIdCookieManager;
class TIdSSLIOHandlerSocket;
class TIdStream;

enum TIdHTTPOption { hoInProcessAuth, hoKeepOrigProtocol, hoForceEncodeParams };

class TIdHTTPOptions {
public:
    constexpr TIdHTTPOptions() = default;
    constexpr TIdHTTPOptions(std::initializer_list<TIdHTTPOption> options) {
        for (TIdHTTPOption option : options) {
            bits_ |= 1u << option;
        }
    }
    constexpr bool Contains(TIdHTTPOption option) const { return (bits_ >> option) & 1u; }
    constexpr bool operator==(const TIdHTTPOptions&) const = default;

private:
    unsigned bits_ = 0;
};

// The HTTP/1.1 client. It is itself the TCP connection, so a connection left open by one
// request is the one the next request finds; the target, the request and response objects
// and the cookie store carry over from one request to the next as well.
class TIdCustomHTTP : public TIdTCPClient, private TIdCookieManagerClient {
public:
    // dest may be changed (the new text is followed), handled is the decision (it starts
    // as HandleRedirects), method is the follow-up request's method.
    using TIdHTTPOnRedirectEvent =
        std::function<void(TIdCustomHTTP& sender, std::string& dest, int& numRedirect,
                           bool& handled, TIdHTTPMethod& method)>;
    // May replace the scheme chosen for a challenge; challenges are the challenge values.
    using TIdOnSelectAuthorization = std::function<void(TIdCustomHTTP& sender, std::string& scheme,
                                                        const TIdHeaderList& challenges)>;
    // Supplies the credentials for the scheme; handled true means "try again with them".
    using TIdOnAuthorization = std::function<void(
        TIdCustomHTTP& sender, TIdAuthentication& authentication, bool& handled)>;
    // Sets ProxyParams for the target about to be connected to (every pass, redirects too).
    using TIdOnSelectProxy =
        std::function<void(const TIdURI& target, TIdProxyConnectionInfo& proxyParams)>;

    TIdCustomHTTP();
    ~TIdCustomHTTP() override;

    // The body of the final response, byte for byte, or an exception.
    std::string Get(const std::string& url);
    // Writes the body at the stream's position.
    void Get(const std::string& url, TIdStream& stream);

    TIdHTTPRequest& Request() { return protocol_->Request(); }
    void SetRequest(const TIdHTTPRequest& request) { Request().Assign(request); }
    TIdHTTPResponse& Response() { return protocol_->Response(); }
    std::int32_t ResponseCode() { return Response().StatusCode(); }
    TIdURI& TargetURI() { return *targetURI_; }
    // The absolute URL that a request for `url` would ask for, the target left as it is.
    std::string MergedTargetURL(const std::string& url) const;

    void SetHost(const std::string& host) override;
    void SetPort(int port) override;

    // The cookie store; null until the first response when none was assigned.
    TIdCookieManager* CookieManager() const { return cookieManager_; }
    // Uses manager, not owned; when it is destroyed first, the client holds none.
    void SetCookieManager(TIdCookieManager* manager);
    bool OwnsCookieManager() const { return ownedCookieManager_ != nullptr; }

    int RedirectCount() const { return redirectCount_; }
    int AuthTries() const { return authTries_; }
    int ProxyAuthTries() const { return proxyAuthTries_; }

    int AuthRetries = 3;
    bool AllowCookies = true;
    bool HandleRedirects = false;
    int RedirectMaximum = 15;
    TIdHTTPProtocolVersion ProtocolVersion = pv1_1;
    TIdHTTPOptions HTTPOptions{hoForceEncodeParams};
    TIdProxyConnectionInfo ProxyParams;
    TIdHTTPOnRedirectEvent OnRedirect;
    TIdOnAuthorization OnAuthorization;
    TIdOnAuthorization OnProxyAuthorization;
    TIdOnSelectAuthorization OnSelectAuthorization;
    TIdOnSelectAuthorization OnSelectProxyAuthorization;
    TIdOnSelectProxy OnSelectProxy;

protected:
    virtual bool AuthorizeServer();
    virtual bool AuthorizeProxy();
    virtual bool ConsultRedirect(std::string& dest, TIdHTTPMethod& method, int count);
    virtual void PerformRequest(TIdHTTPMethod method, const std::string& url, TIdStream* sink,
                                TIdStream* source);
    void NotifyDisconnected() override;

private:
    friend class TIdHTTPProtocol;

    static void MergeLocation(TIdURI& target, const TIdURI& given);
    void MergeTargetURL(TIdHTTPRequest& request);
    void OpenAndSend();
    TIdHTTPConnectionType SelectHostAndPort();
    void MoveConnection(const std::string& host, int port);
    // Closes an open connection that is not of `kind` (plain, TLS, or a tunnel to the target).
    void KeepOnlyConnectionOf(const std::string& kind);
    TIdSSLIOHandlerSocket* SSLHandler() const;
    void EnsureConnected(TIdHTTPResponse& response);
    // Asks the proxy for a tunnel to the target and starts TLS with the target through it.
    void OpenTunnel();
    // The CONNECT exchange; a status other than 2xx raises EIdHTTPProtocolException.
    void AskForTunnel();
    void ReadResponseHead();
    void CookieManagerDestroyed(TIdCookieManager& manager) override;
    void StopUsingAssignedCookieManager();
    void StoreResponseCookies(TIdHTTPRequest& request, TIdHTTPResponse& response);
    void AttachRequestCookies(const TIdURI& uri, TIdHTTPRequest& request);
    // Reads the body into the response's sink. A close before Content-Length bytes arrived
    // fails unless shortBodyAccepted (an error page may come short).
    void ReadBody(TIdHTTPResponse& response, bool shortBodyAccepted = false);
    void ReadChunkedBody(TIdStream& sink);
    std::int32_t ReadChunkHeader();
    void EndRequest();

    std::unique_ptr<TIdURI> targetURI_;
    std::unique_ptr<TIdHTTPProtocol> protocol_;
    std::unique_ptr<TIdCookieManager> ownedCookieManager_;
    TIdCookieManager* cookieManager_ = nullptr; // ownedCookieManager_ or an assigned one
    int redirectCount_ = 0;
    int authTries_ = 0;
    int proxyAuthTries_ = 0;
    // A request has been sent and its response is not read to the end yet.
    bool responsePending_ = false;
    // What the open connection is: its scheme, or the tunnel's target.
    std::string connectionKind_;
};

// The published client.
class TIdHTTP final : public TIdCustomHTTP {};
