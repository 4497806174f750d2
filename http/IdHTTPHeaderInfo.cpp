#include "http/IdHTTPHeaderInfo.h"

#include <string_view>

#include "http/EIdUnsafeRequestText.h"
#include "http/IdGlobal.h"
#include "http/IdHTTP.h"
#include "http/IdResourceStrings.h"

namespace {

constexpr const char* kDefaultContentType = "text/html";
constexpr const char* kDefaultAccept = "text/html, */*";

// A date header's value as a local date-time; an absent or empty header gives no date.
TDateTime DateValue(const TIdHeaderList& lines, std::string_view name) {
    std::string value = lines.ValueOf(name);
    return value.empty() ? 0 : InternetDateToLocal(value);
}

// Expires carries either a number of seconds from now or a date.
TDateTime ExpiresValue(const TIdHeaderList& lines) {
    std::string value = lines.ValueOf("Expires");
    std::int32_t seconds = StrToIntDef(value, -1);
    if (seconds != -1) {
        return Now() + seconds / 86400.0;
    }
    return value.empty() ? 0 : InternetDateToLocal(value);
}

// Sets a header only when it has a value, so that an empty field never removes a line
// that came from the custom headers.  A value holding a line break is refused rather than
// split into lines of its own.
void SetNonEmpty(TIdHeaderList& lines, std::string_view name, std::string_view value) {
    RefuseUnsafeRequestText(value, RSHTTPUnsafeHeader);
    if (!value.empty()) {
        lines.SetHeader(name, value);
    }
}

void SetDateHeader(TIdHeaderList& lines, std::string_view name, TDateTime value) {
    if (value > 0) {
        lines.SetHeader(name, FormatInternetDate(value, false));
    }
}

} // namespace

const char* VersionText(TIdHTTPProtocolVersion version) {
    return version == pv1_0 ? "1.0" : "1.1";
}

// ---------------------------------------------------------------- TIdEntityHeaderInfo

TIdEntityHeaderInfo::TIdEntityHeaderInfo() {
    HeaderLines.WrapWidth = 1024;
    ResetEntityFields();
}

void TIdEntityHeaderInfo::SetContentLength(std::int32_t length) {
    contentLength_ = length;
    lengthKnown_ = length >= 0;
}

void TIdEntityHeaderInfo::ResetFields() {
    ResetEntityFields();
}

void TIdEntityHeaderInfo::ResetEntityFields() {
    Connection.clear();
    ContentVersion.clear();
    ContentEncoding.clear();
    ContentLanguage.clear();
    ContentType = kDefaultContentType;
    // LengthKnown keeps its value here: only the setter and header parsing change it.
    contentLength_ = -1;
    ContentRangeStart = 0;
    ContentRangeEnd = 0;
    Date = 0;
    Expires = 0;
    LastModified = 0;
    HeaderLines.Clear();
}

void TIdEntityHeaderInfo::ParseHeaders() {
    ParseEntityHeaders();
}

void TIdEntityHeaderInfo::ParseEntityHeaders() {
    Connection = HeaderLines.ValueOf("Connection");
    ContentVersion = HeaderLines.ValueOf("Content-Version");
    ContentEncoding = HeaderLines.ValueOf("Content-Encoding");
    ContentLanguage = HeaderLines.ValueOf("Content-Language");
    ContentType = HeaderLines.ValueOf("Content-Type");
    SetContentLength(StrToIntDef(HeaderLines.ValueOf("Content-Length"), -1));
    Date = DateValue(HeaderLines, "Date");
    LastModified = DateValue(HeaderLines, "Last-Modified");
    Expires = ExpiresValue(HeaderLines);
    Pragma = HeaderLines.ValueOf("Pragma");
}

void TIdEntityHeaderInfo::BuildHeaders() {
    HeaderLines.Clear();
    SetNonEmpty(HeaderLines, "Connection", Connection);
    SetNonEmpty(HeaderLines, "Content-Version", ContentVersion);
    SetNonEmpty(HeaderLines, "Content-Encoding", ContentEncoding);
    SetNonEmpty(HeaderLines, "Content-Language", ContentLanguage);
    SetNonEmpty(HeaderLines, "Content-Type", ContentType);
    if (ContentLength() >= 0) {
        HeaderLines.SetHeader("Content-Length", std::to_string(ContentLength()));
    }
    SetNonEmpty(HeaderLines, "Cache-control", CacheControl);
    SetDateHeader(HeaderLines, "Date", Date);
    SetDateHeader(HeaderLines, "Expires", Expires);
    SetNonEmpty(HeaderLines, "Pragma", Pragma);
    if (!CustomHeaders.Empty()) {
        for (const std::string& line : CustomHeaders.Lines()) {
            RefuseUnsafeRequestText(line, RSHTTPUnsafeHeader);
        }
        HeaderLines.SetText(HeaderLines.Text() + CustomHeaders.Text());
    }
}

// ---------------------------------------------------------------- TIdRequestHeaderInfo

TIdRequestHeaderInfo::TIdRequestHeaderInfo() {
    ResetRequestFields();
}

void TIdRequestHeaderInfo::ResetFields() {
    ResetRequestFields();
    ResetEntityFields();
}

void TIdRequestHeaderInfo::ResetRequestFields() {
    Accept = kDefaultAccept;
    AcceptCharSet.clear();
    UserAgent = RSHTTPUserAgent;
    BasicAuthentication = false;
}

void TIdRequestHeaderInfo::BuildHeaders() {
    TIdEntityHeaderInfo::BuildHeaders();
    SetNonEmpty(HeaderLines, "Proxy-Connection", ProxyConnection);
    SetNonEmpty(HeaderLines, "Host", Host);
    SetNonEmpty(HeaderLines, "Accept", Accept);
    SetNonEmpty(HeaderLines, "Accept-Charset", AcceptCharSet);
    SetNonEmpty(HeaderLines, "Accept-Encoding", AcceptEncoding);
    SetNonEmpty(HeaderLines, "Accept-Language", AcceptLanguage);
    SetNonEmpty(HeaderLines, "From", From);
    SetNonEmpty(HeaderLines, "Referer", Referer);
    SetNonEmpty(HeaderLines, "User-Agent", UserAgent);
    SetDateHeader(HeaderLines, "If-Modified-Since", LastModified);
    if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
        std::string range = "bytes=" + std::to_string(ContentRangeStart) + "-";
        if (ContentRangeEnd != 0) {
            range += std::to_string(ContentRangeEnd);
        }
        SetNonEmpty(HeaderLines, "Range", range);
    }
    if (!Authentication && BasicAuthentication) {
        Authentication = std::make_unique<TIdBasicAuthentication>();
        Authentication->Username = Username;
        Authentication->Password = Password;
    }
    if (Authentication) {
        SetNonEmpty(HeaderLines, "Authorization", Authentication->Authentication());
    }
}

void TIdRequestHeaderInfo::Assign(const TIdRequestHeaderInfo& source) {
    Accept = source.Accept;
    AcceptCharSet = source.AcceptCharSet;
    AcceptEncoding = source.AcceptEncoding;
    AcceptLanguage = source.AcceptLanguage;
    From = source.From;
    Password = source.Password;
    Referer = source.Referer;
    UserAgent = source.UserAgent;
    Username = source.Username;
    BasicAuthentication = source.BasicAuthentication;
}

// ---------------------------------------------------------------- TIdResponseHeaderInfo

TIdResponseHeaderInfo::TIdResponseHeaderInfo() {
    ResetResponseFields();
}

void TIdResponseHeaderInfo::ResetFields() {
    ResetEntityFields();
    ResetResponseFields();
}

void TIdResponseHeaderInfo::ResetResponseFields() {
    Location.clear();
    Server.clear();
    WWWAuthenticate.Clear();
    ProxyAuthenticate.Clear();
}

void TIdResponseHeaderInfo::ParseHeaders() {
    Location = HeaderLines.ValueOf("Location");
    Server = HeaderLines.ValueOf("Server");
    ProxyConnection = HeaderLines.ValueOf("Proxy-Connection");
    std::string range = HeaderLines.ValueOf("Content-Range");
    if (!range.empty()) {
        TakeToken(range, " ");
        ContentRangeStart = static_cast<std::uint32_t>(StrToInt(TakeToken(range, "-")));
        ContentRangeEnd = static_cast<std::uint32_t>(StrToInt(TakeToken(range, "/")));
    }
    std::vector<std::string> challenges;
    HeaderLines.CollectValues("WWW-Authenticate", &challenges);
    WWWAuthenticate.Clear();
    for (std::string& challenge : challenges) {
        WWWAuthenticate.Add(std::move(challenge));
    }
    challenges.clear();
    HeaderLines.CollectValues("Proxy-Authenticate", &challenges);
    ProxyAuthenticate.Clear();
    for (std::string& challenge : challenges) {
        ProxyAuthenticate.Add(std::move(challenge));
    }
    ParseEntityHeaders();
}

// ---------------------------------------------------------------- TIdHTTPResponse

std::int32_t TIdHTTPResponse::StatusCode() {
    std::string_view rest;
    std::size_t blank = StatusLine.find(' ');
    if (blank != std::string::npos) {
        rest = std::string_view(StatusLine).substr(blank + 1);
    }
    std::string code = Trim(rest);
    code.resize(std::min(code.find(' '), code.size()));
    statusCode_ = StrToIntDef(code, -1);
    return statusCode_;
}

bool TIdHTTPResponse::IsPersistent() {
    if (StatusLine.size() >= 8) {
        std::string_view version = std::string_view(StatusLine).substr(5, 3);
        if (version == "1.0") {
            StatusVersion = pv1_0;
        } else if (version == "1.1") {
            StatusVersion = pv1_1;
        }
    }
    client_.CheckDisconnected(false, false);
    keepAlive_ = client_.IsConnected();
    if (keepAlive_) {
        auto says = [this](std::string_view token) {
            return SameText(Trim(Connection), token) || SameText(Trim(ProxyConnection), token);
        };
        keepAlive_ = client_.ProtocolVersion == pv1_1 ? !says("CLOSE") : says("KEEP-ALIVE");
    }
    return keepAlive_;
}
