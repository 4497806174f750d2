#pragma once

#include <string>
#include <string_view>

// Which optional parts Compose writes.
struct TIdURIOptionalFields {
    bool WithUserInfo = false;
    bool WithFragment = false;
};

// The parts of one URI, parsed from and composed to text.  No part is ever percent-encoded
// or decoded: every byte stays as written, apart from backslashes becoming slashes.
class TIdURI {
public:
    explicit TIdURI(std::string_view text = {});

    // Clears every part, normalises backslashes and splits the text into the parts.
    void AssignText(std::string_view text);

    // The text built from the parts; raises EIdURIException when Protocol or Host is empty.
    std::string Compose(TIdURIOptionalFields fields) const;

    // Reading stores the full composition (user info and fragment included) as the stored
    // text and returns the URI without user info and fragment; it raises like Compose.
    std::string FullText();
    void SetFullText(std::string_view text) { AssignText(text); }

    // The text as last assigned (after backslash normalisation), or as last composed by
    // reading FullText().
    const std::string& StoredText() const { return storedText_; }

    std::string Protocol; // the scheme as written, without "://"
    std::string Username;
    std::string Password;
    std::string Host;
    std::string Port;      // as written; empty when the URI names none
    std::string Path;      // up to and including the last "/" before the document
    std::string Document;  // the last segment, up to the query
    std::string QueryPart; // from "?" (or "=" without a "?") to the end, fragment excluded
    std::string Fragment;  // after "#", without it

private:
    void TakeUserInfoAndHost(std::string authority);
    void SplitPathAndQuery(std::string_view text, std::string_view pathPrefix);
    void SplitFragmentFromDocument();
    void SplitFragmentFromQuery();

    std::string storedText_;
};
