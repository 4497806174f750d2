#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "http/IdAuthentication.h"
#include "http/IdHeaderList.h"
#include "http/IdInternetDate.h"

class TIdCustomHTTP;
class TIdStream;

enum TIdHTTPMethod { hmHead, hmGet, hmPost, hmOptions, hmTrace, hmPut, hmDelete, hmConnect };
enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };
enum TIdHTTPConnectionType { ckDirect, ckSSL, ckProxy, ckSSLProxy };

// "1.0" or "1.1".
const char* VersionText(TIdHTTPProtocolVersion version);

// The header fields that requests and responses share, and the raw header lines they are
// built from or parsed out of. Dates are local date-times; 0 means none.
class TIdEntityHeaderInfo {
public:
    TIdEntityHeaderInfo();
    virtual ~TIdEntityHeaderInfo() = default;
    TIdEntityHeaderInfo(const TIdEntityHeaderInfo&) = delete;
    TIdEntityHeaderInfo& operator=(const TIdEntityHeaderInfo&) = delete;

    virtual void ParseHeaders();
    virtual void BuildHeaders();
    virtual void ResetFields();

    std::int32_t ContentLength() const { return contentLength_; }
    void SetContentLength(std::int32_t length);
    bool LengthKnown() const { return lengthKnown_; }

    std::string CacheControl;
    std::string Connection;
    std::string ContentEncoding;
    std::string ContentLanguage;
    std::uint32_t ContentRangeEnd = 0;
    std::uint32_t ContentRangeStart = 0;
    std::string ContentType;
    std::string ContentVersion;
    TIdHeaderList CustomHeaders;
    TDateTime Date = 0;
    TDateTime Expires = 0;
    TDateTime LastModified = 0;
    std::string Pragma;
    TIdHeaderList HeaderLines;

protected:
    void ResetEntityFields();
    void ParseEntityHeaders();

private:
    std::int32_t contentLength_ = -1;
    bool lengthKnown_ = false;
};

class TIdRequestHeaderInfo : public TIdEntityHeaderInfo {
public:
    TIdRequestHeaderInfo();

    void BuildHeaders() override;
    void ResetFields() override;
    // Copies the caller's settings: the Accept family, From, Referer, UserAgent and the
    // credentials.
    void Assign(const TIdRequestHeaderInfo& source);

    std::string Accept;
    std::string AcceptCharSet;
    std::string AcceptEncoding;
    std::string AcceptLanguage;
    bool BasicAuthentication = false;
    std::string Host;
    std::string From;
    std::string Password;
    std::string Referer;
    std::string UserAgent;
    std::string Username;
    std::string ProxyConnection;
    // The scheme in use for the server, if any.
    std::unique_ptr<TIdAuthentication> Authentication;

private:
    void ResetRequestFields();
};

class TIdResponseHeaderInfo : public TIdEntityHeaderInfo {
public:
    TIdResponseHeaderInfo();

    void ParseHeaders() override;
    void ResetFields() override;

    std::string Location;
    std::string Server;
    std::string ProxyConnection;
    TIdHeaderList WWWAuthenticate;
    TIdHeaderList ProxyAuthenticate;

private:
    void ResetResponseFields();
};

class TIdHTTPRequest : public TIdRequestHeaderInfo {
public:
    explicit TIdHTTPRequest(TIdCustomHTTP& client) : client_(client) {}

    TIdCustomHTTP& Client() const { return client_; }

    std::string RequestURL;
    TIdHTTPMethod RequestMethod = hmGet;
    // Supplies a POST or PUT body; not owned.
    TIdStream* BodySource = nullptr;
    TIdHTTPConnectionType ConnectionKind = ckDirect;

private:
    TIdCustomHTTP& client_;
};

class TIdHTTPResponse : public TIdResponseHeaderInfo {
public:
    explicit TIdHTTPResponse(TIdCustomHTTP& client) : client_(client) {}

    // The number after the first blank of StatusLine, -1 when there is none.
    std::int32_t StatusCode();
    // Whether the connection may carry the next request; also reads StatusVersion.
    bool IsPersistent();
    bool KeepAlive() const { return keepAlive_; }

    std::string StatusLine;
    TIdHTTPProtocolVersion StatusVersion = pv1_1;
    // Receives the body; not owned. Null means that no body is read.
    TIdStream* BodySink = nullptr;

private:
    TIdCustomHTTP& client_;
    std::int32_t statusCode_ = -1;
    bool keepAlive_ = false;
};
