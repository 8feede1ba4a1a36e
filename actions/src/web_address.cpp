// SPDX-License-Identifier: MIT
#include "tikko/system_actions.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tikko {

std::string webAddress(const std::string& address) {
    // Control characters have no place in an address and could break a command line.
    const bool hasControl = std::any_of(address.begin(), address.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
    if (address.empty() || hasControl)
        return {};

    constexpr std::string_view separator = "://";
    const std::string url =
        address.find(separator) == std::string::npos ? "http://" + address : address;
    const std::size_t schemeEnd = url.find(separator);
    std::string scheme = url.substr(0, schemeEnd);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Only web pages: any other scheme would have the system open local files or programs.
    if (scheme != "http" && scheme != "https")
        return {};
    // The host part must be there and be a host: not a local path that lacked a scheme.
    const std::size_t hostStart = schemeEnd + separator.size();
    const std::size_t hostEnd = std::min(url.find_first_of("/?#", hostStart), url.size());
    const std::string_view host(url.data() + hostStart, hostEnd - hostStart);
    if (host.empty() || host.find_first_of(" \\") != std::string_view::npos)
        return {};
    return url;
}

} // namespace tikko
