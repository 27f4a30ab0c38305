#include "link/Base64.h"

#include "link/LongBuffers.h"

#include <array>

namespace helm {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::uint8_t invalid = 0xFF;

constexpr std::array<std::uint8_t, 256> makeReverse() {
    std::array<std::uint8_t, 256> r{};
    for (auto& v : r) {
        v = invalid;
    }
    for (std::uint8_t i = 0; i < 64; ++i) {
        r[static_cast<unsigned char>(alphabet[i])] = i;
    }
    return r;
}

constexpr auto reverse = makeReverse();

} // namespace

std::size_t base64EncodeTo(const std::uint8_t* data, std::size_t size, char* out) {
    char* o = out;
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        std::uint32_t v =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        *o++ = alphabet[(v >> 18) & 63];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = alphabet[(v >> 6) & 63];
        *o++ = alphabet[v & 63];
    }
    std::size_t rest = size - i;
    if (rest == 1) {
        std::uint32_t v = std::uint32_t{data[i]} << 16;
        *o++ = alphabet[(v >> 18) & 63];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = '=';
        *o++ = '=';
    } else if (rest == 2) {
        std::uint32_t v = (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8);
        *o++ = alphabet[(v >> 18) & 63];
        *o++ = alphabet[(v >> 12) & 63];
        *o++ = alphabet[(v >> 6) & 63];
        *o++ = '=';
    }
    return static_cast<std::size_t>(o - out);
}

std::string base64Encode(const std::uint8_t* data, std::size_t size) {
    std::string out;
    LongBuffers::reserveLong(out, base64EncodedSize(size));
    out.resize(base64EncodedSize(size));
    base64EncodeTo(data, size, out.data());
    return out;
}

std::string base64Encode(std::string_view bytes) {
    return base64Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string base64Encode(const Bytes& bytes) {
    return base64Encode(bytes.data(), bytes.size());
}

std::optional<std::size_t> base64DecodedSize(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::size_t pad = 0;
    if (!text.empty() && text.back() == '=') {
        pad = text[text.size() - 2] == '=' ? 2 : 1;
    }
    return text.size() / 4 * 3 - pad;
}

std::optional<std::size_t> base64DecodeTo(std::string_view text, std::uint8_t* out) {
    auto size = base64DecodedSize(text);
    if (!size) {
        return std::nullopt;
    }
    std::size_t pad = text.size() / 4 * 3 - *size;
    auto* in = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t full = pad == 0 ? text.size() : text.size() - 4;
    std::size_t o = 0;
    for (std::size_t i = 0; i < full; i += 4) {
        std::uint8_t a = reverse[in[i]], b = reverse[in[i + 1]], c = reverse[in[i + 2]],
                     d = reverse[in[i + 3]];
        if (((a | b | c | d) & 0xC0) != 0) { // an invalid character sets the top bits
            return std::nullopt;
        }
        std::uint32_t v =
            (std::uint32_t{a} << 18) | (std::uint32_t{b} << 12) | (std::uint32_t{c} << 6) | d;
        out[o++] = static_cast<std::uint8_t>(v >> 16);
        out[o++] = static_cast<std::uint8_t>(v >> 8);
        out[o++] = static_cast<std::uint8_t>(v);
    }
    if (pad > 0) {
        const unsigned char* q = in + full;
        std::uint8_t a = reverse[q[0]], b = reverse[q[1]];
        if (a == invalid || b == invalid) {
            return std::nullopt;
        }
        if (pad == 2) {
            // The bits past the last whole byte must be zero: "Zh==" is not another "Zg==".
            if ((b & 0x0F) != 0) {
                return std::nullopt;
            }
            out[o++] = static_cast<std::uint8_t>((a << 2) | (b >> 4));
        } else {
            std::uint8_t c = reverse[q[2]];
            if (c == invalid || (c & 0x03) != 0) {
                return std::nullopt;
            }
            out[o++] = static_cast<std::uint8_t>((a << 2) | (b >> 4));
            out[o++] = static_cast<std::uint8_t>((b << 4) | (c >> 2));
        }
    }
    return o;
}

std::optional<Bytes> base64Decode(std::string_view text) {
    auto size = base64DecodedSize(text);
    if (!size) {
        return std::nullopt;
    }
    Bytes out;
    LongBuffers::reserveLong(out, *size);
    out.resize(*size);
    if (!base64DecodeTo(text, out.data())) {
        return std::nullopt;
    }
    return out;
}

} // namespace helm
