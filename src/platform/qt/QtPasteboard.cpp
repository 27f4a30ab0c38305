#include "platform/qt/QtPasteboard.h"

#include "platform/PasteboardFormats.h"
#include "platform/qt/PictureToPng.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace helm {

namespace fmt = pasteboardFormats;

namespace {

const QMimeData* current() {
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

Pasteboard::Data toData(const QByteArray& bytes) {
    return Pasteboard::Data(bytes.begin(), bytes.end());
}

} // namespace

QtPasteboard::QtPasteboard(Reader elsewhere)
    : elsewhere_(std::move(elsewhere)), context_(std::make_unique<QObject>()) {
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, context_.get(),
                     [this] { ++count_; });
}

QtPasteboard::~QtPasteboard() = default;

std::shared_ptr<const ClipboardContents> QtPasteboard::elsewhere(std::uint64_t most) const {
    // What we hold ourselves is at hand in this process.
    if (!elsewhere_ || QGuiApplication::clipboard()->ownsClipboard())
        return nullptr;
    std::shared_ptr<const ClipboardContents> reader = elsewhere_(most);
    if (!reader)
        return nullptr;
    if (stopped_)
        reader->stop();
    std::erase_if(readers_, [](const auto& r) { return r.expired(); });
    readers_.push_back(reader);
    return reader;
}

void QtPasteboard::stopReading() {
    stopped_ = true;
    for (const auto& r : readers_) {
        if (std::shared_ptr<const ClipboardContents> reader = r.lock())
            reader->stop();
    }
}

std::vector<std::string> QtPasteboard::types() const {
    std::vector<std::string> out;
    const QMimeData* m = current();
    if (!m)
        return out;
    for (const QString& f : m->formats())
        out.push_back(f.toStdString());
    if (m->hasFormat(fmt::passwordHint) &&
        fmt::isSecretHint(m->data(fmt::passwordHint).trimmed().toStdString()))
        out.push_back(concealedType);
    return out;
}

std::vector<std::string> QtPasteboard::filePaths() const {
    const QMimeData* m = current();
    if (!m)
        return {};
    if (m->hasFormat(fmt::uriList))
        return fmt::pathsFromUriList(m->data(fmt::uriList).toStdString());
    if (m->hasFormat(fmt::gnomeFiles))
        return fmt::pathsFromGnomeFiles(m->data(fmt::gnomeFiles).toStdString());
    return {};
}

std::optional<std::string> QtPasteboard::text() const {
    const QMimeData* m = current();
    if (!m || !m->hasText())
        return std::nullopt;
    return m->text().toStdString();
}

std::optional<Pasteboard::Data> QtPasteboard::png() const {
    const QMimeData* m = current();
    if (!m || !m->hasFormat("image/png"))
        return std::nullopt;
    return toData(m->data("image/png"));
}

std::optional<Pasteboard::Data> QtPasteboard::otherPicture() const {
    const QMimeData* m = current();
    if (!m)
        return std::nullopt;
    for (const QString& f : m->formats()) {
        if (!pictureToPng::convertible(f))
            continue;
        std::optional<QByteArray> png = pictureToPng::convert(m->data(f));
        if (!png)
            return std::nullopt;
        return toData(*png);
    }
    return std::nullopt;
}

void QtPasteboard::replace(QMimeData* data) {
    const long before = count_;
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    // Where the platform reports our own change later or not at all, it still counts now.
    if (count_ == before)
        ++count_;
}

void QtPasteboard::setText(const std::string& text) {
    auto* m = new QMimeData;
    m->setText(QString::fromStdString(text));
    replace(m);
}

void QtPasteboard::setPng(const Data& png) {
    auto* m = new QMimeData;
    m->setData("image/png",
               QByteArray(reinterpret_cast<const char*>(png.data()), qsizetype(png.size())));
    replace(m);
}

void QtPasteboard::setFiles(const std::vector<std::string>& paths) {
    auto* m = new QMimeData;
    if (!paths.empty()) {
        m->setData(fmt::uriList, QByteArray::fromStdString(fmt::uriListOf(paths)));
        m->setData(fmt::gnomeFiles, QByteArray::fromStdString(fmt::gnomeFilesOf(paths)));
    }
    replace(m);
}

} // namespace helm
