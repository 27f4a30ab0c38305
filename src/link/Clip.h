#pragma once

#include "link/Bytes.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace helm {

// One file of a clipboard hand-over: a last path component and the whole content.
struct ClipFile {
    std::string name;
    Bytes data;

    friend bool operator==(const ClipFile&, const ClipFile&) = default;
};

// What crosses the link when keyboard focus moves to another computer: text, one PNG picture,
// or files in pasteboard order.
struct Clip {
    struct Text {
        std::string text;
        friend bool operator==(const Text&, const Text&) = default;
    };
    struct Image {
        Bytes png;
        friend bool operator==(const Image&, const Image&) = default;
    };
    struct Files {
        std::vector<ClipFile> files;
        friend bool operator==(const Files&, const Files&) = default;
    };

    std::variant<Text, Image, Files> value;

    static Clip text(std::string text) { return {Text{std::move(text)}}; }
    static Clip image(Bytes png) { return {Image{std::move(png)}}; }
    static Clip files(std::vector<ClipFile> files) { return {Files{std::move(files)}}; }

    friend bool operator==(const Clip&, const Clip&) = default;

    // UTF-8 bytes of a text, PNG bytes of a picture, or the files' sizes added up.
    std::size_t bytes() const;

    // The short description shown in notes and the log.
    std::string summary() const;
};

// User-perceived characters (extended grapheme clusters) in UTF-8 text.
std::size_t characterCount(const std::string& text);

} // namespace helm
