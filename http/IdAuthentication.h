#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// One authentication scheme's state for a server or a proxy: the credentials it was given
// and the steps it has run. The request (or the proxy settings) owns the object in use.
class TIdAuthentication {
public:
    virtual ~TIdAuthentication() = default;

    std::string Username;
    std::string Password;

    // The header value for the next step; empty when the scheme has nothing to send.
    virtual std::string Authentication() = 0;
    // True once every step of the scheme has been taken.
    virtual bool Finished() const = 0;
};

// "Basic " + Base64 of user name, ":" and password. One step.
class TIdBasicAuthentication final : public TIdAuthentication {
public:
    std::string Authentication() override;
    bool Finished() const override { return sent_; }

private:
    bool sent_ = false;
};

// RFC 4648 Base64 with padding.
std::string EncodeBase64(std::string_view bytes);

using TIdAuthenticationFactory = std::function<std::unique_ptr<TIdAuthentication>()>;

// The schemes a client can answer a challenge with, by name (compared without regard to
// case). "Basic" is registered from the start; register others before any client runs.
void RegisterAuthenticationMethod(std::string scheme, TIdAuthenticationFactory factory);
// The factory registered for scheme, or an empty one.
TIdAuthenticationFactory FindAuthenticationMethod(std::string_view scheme);
