#include "platform/x11/X11ClipboardReader.h"

#include "platform/PasteboardFormats.h"
#include "platform/qt/PictureToPng.h"

#include <QString>

#include <algorithm>

namespace helm {

namespace fmt = pasteboardFormats;

namespace {

ClipboardContents::Data toData(const std::string& bytes) {
    return ClipboardContents::Data(bytes.begin(), bytes.end());
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? ""
                                      : s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

const std::vector<std::string>& X11ClipboardReader::offered() const {
    if (!offered_)
        offered_ = selection_.targets().value_or(std::vector<std::string>{});
    return *offered_;
}

bool X11ClipboardReader::offers(const std::string& target) const {
    const auto& all = offered();
    return std::find(all.begin(), all.end(), target) != all.end();
}

std::vector<std::string> X11ClipboardReader::types() const {
    std::vector<std::string> out = offered();
    if (offers(fmt::passwordHint)) {
        std::optional<std::string> hint = selection_.fetch(fmt::passwordHint);
        if (hint && fmt::isSecretHint(trimmed(*hint)))
            out.push_back(concealedType);
    }
    return out;
}

std::vector<std::string> X11ClipboardReader::filePaths() const {
    if (offers(fmt::uriList))
        return fmt::pathsFromUriList(selection_.fetch(fmt::uriList).value_or(""));
    if (offers(fmt::gnomeFiles))
        return fmt::pathsFromGnomeFiles(selection_.fetch(fmt::gnomeFiles).value_or(""));
    return {};
}

std::optional<std::string> X11ClipboardReader::text() const {
    // As Qt reads text: UTF-8 first, Latin-1 for the oldest programs; invalid UTF-8 replaced.
    for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain"}) {
        if (offers(target)) {
            std::optional<std::string> bytes = selection_.fetch(target);
            if (bytes)
                return QString::fromUtf8(bytes->data(), qsizetype(bytes->size())).toStdString();
        }
    }
    if (offers("STRING")) {
        if (std::optional<std::string> bytes = selection_.fetch("STRING"))
            return QString::fromLatin1(bytes->data(), qsizetype(bytes->size())).toStdString();
    }
    return std::nullopt;
}

std::optional<ClipboardContents::Data> X11ClipboardReader::png() const {
    if (!offers("image/png"))
        return std::nullopt;
    std::optional<std::string> bytes = selection_.fetch("image/png");
    if (!bytes)
        return std::nullopt;
    return toData(*bytes);
}

std::optional<ClipboardContents::Data> X11ClipboardReader::otherPicture() const {
    for (const std::string& target : offered()) {
        if (!pictureToPng::convertible(QString::fromStdString(target)))
            continue;
        std::optional<std::string> bytes = selection_.fetch(target);
        if (!bytes)
            return std::nullopt;
        std::optional<QByteArray> png = pictureToPng::convert(QByteArray::fromStdString(*bytes));
        if (!png)
            return std::nullopt;
        return Data(png->begin(), png->end());
    }
    return std::nullopt;
}

} // namespace helm
