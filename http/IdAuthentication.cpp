#include "http/IdAuthentication.h"

#include <utility>
#include <vector>

#include "http/IdGlobal.h"

namespace {

struct RegisteredScheme {
    std::string name;
    TIdAuthenticationFactory factory;
};

std::vector<RegisteredScheme>& Registry() {
    static std::vector<RegisteredScheme> registry{
        {"Basic", [] { return std::make_unique<TIdBasicAuthentication>(); }}};
    return registry;
}

} // namespace

void RegisterAuthenticationMethod(std::string scheme, TIdAuthenticationFactory factory) {
    Registry().push_back({std::move(scheme), std::move(factory)});
}

TIdAuthenticationFactory FindAuthenticationMethod(std::string_view scheme) {
    for (const RegisteredScheme& registered : Registry()) {
        if (SameText(registered.name, scheme)) {
            return registered.factory;
        }
    }
    return {};
}

std::string TIdBasicAuthentication::Authentication() {
    sent_ = true;
    std::string credentials;
    credentials.reserve(Username.size() + 1 + Password.size());
    credentials.append(Username).append(":").append(Password);
    return "Basic " + EncodeBase64(credentials);
}

std::string EncodeBase64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                         static_cast<unsigned char>(bytes[i + 1]) << 8 |
                         static_cast<unsigned char>(bytes[i + 2]);
        encoded += kAlphabet[group >> 18];
        encoded += kAlphabet[(group >> 12) & 0x3F];
        encoded += kAlphabet[(group >> 6) & 0x3F];
        encoded += kAlphabet[group & 0x3F];
    }
    std::size_t left = bytes.size() - i;
    if (left > 0) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        encoded += kAlphabet[group >> 18];
        encoded += kAlphabet[(group >> 12) & 0x3F];
        encoded += left == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        encoded += '=';
    }
    return encoded;
}
