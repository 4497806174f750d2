#include "http/IdURI.h"

#include "http/EIdURIException.h"
#include "http/IdGlobal.h"
#include "http/IdResourceStrings.h"

TIdURI::TIdURI(std::string_view text) {
    if (!text.empty()) {
        AssignText(text);
    }
}

void TIdURI::AssignText(std::string_view text) {
    *this = TIdURI();
    storedText_ = ForwardSlashes(text);

    std::string rest = storedText_;
    const int schemeEnd = TextPos("://", rest);
    if (schemeEnd > 0) {
        Protocol = TakeToken(rest, "://");
        TakeUserInfoAndHost(TakeToken(rest, "/"));
        SplitPathAndQuery(rest, "/");
        SplitFragmentFromDocument();
    } else {
        // A relative text keeps a "#" of its document part in Document.
        SplitPathAndQuery(rest, "");
    }
    SplitFragmentFromQuery();
}

void TIdURI::TakeUserInfoAndHost(std::string authority) {
    const int at = TextPos("@", authority);
    if (at > 0) {
        Password = authority.substr(0, static_cast<std::size_t>(at) - 1);
        authority.erase(0, static_cast<std::size_t>(at));
    }
    Username = TakeToken(Password, ":");
    if (Username.empty()) {
        Password.clear(); // a password without a user name is dropped
    }
    Host = TakeToken(authority, ":");
    Port = authority;
}

// Splits the text after the authority.  The last "/" before the query starts the document;
// the query starts at the first "?", or at the first "=" when there is no "?", so that a
// "/" inside the query never shortens the path.
void TIdURI::SplitPathAndQuery(std::string_view text, std::string_view pathPrefix) {
    int queryStart = TextPos("?", text);
    if (queryStart == 0) {
        queryStart = TextPos("=", text);
    }
    const int lastSlash = BackwardPos("/", text, queryStart > 0 ? queryStart : -1);
    const auto pathLength = static_cast<std::size_t>(lastSlash);

    Path = std::string(pathPrefix) + std::string(text.substr(0, pathLength));
    if (queryStart > 0) {
        const auto documentEnd = static_cast<std::size_t>(queryStart) - 1;
        Document = text.substr(pathLength, documentEnd - pathLength);
        QueryPart = text.substr(documentEnd);
    } else {
        Document = text.substr(pathLength);
    }
}

void TIdURI::SplitFragmentFromDocument() {
    Fragment = Document;
    Document = TakeToken(Fragment, "#");
}

void TIdURI::SplitFragmentFromQuery() {
    if (Fragment.empty()) {
        Fragment = QueryPart;
        QueryPart = TakeToken(Fragment, "#");
    }
}

std::string TIdURI::Compose(TIdURIOptionalFields fields) const {
    if (Protocol.empty()) {
        throw EIdURIException(RSURIProtocolFieldEmpty);
    }
    std::string text = Protocol + "://";
    if (!Username.empty() && fields.WithUserInfo) {
        text += Username;
        if (!Password.empty()) {
            text += ":" + Password;
        }
        text += "@";
    }
    if (Host.empty()) {
        throw EIdURIException(RSURIHostFieldEmpty);
    }
    text += Host;
    if (!Port.empty()) {
        text += ":" + Port;
    }
    text += Path + Document + QueryPart;
    if (!Fragment.empty() && fields.WithFragment) {
        text += "#" + Fragment;
    }
    return text;
}

std::string TIdURI::FullText() {
    storedText_ = Compose({.WithUserInfo = true, .WithFragment = true});
    return Compose({});
}
