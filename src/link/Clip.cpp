#include "link/Clip.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <cstdio>
#include <memory>

namespace helm {

namespace {

template <class... F> struct Visitor : F... { using F::operator()...; };
template <class... F> Visitor(F...) -> Visitor<F...>;

} // namespace

std::size_t characterCount(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    // Walks the UTF-8 in place: a 100 MB text is not copied to UTF-16 first.
    UText* ut = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    std::size_t count = 0;
    if (U_SUCCESS(status) && it) {
        it->setText(ut, status);
        if (U_SUCCESS(status)) {
            it->first();
            while (it->next() != icu::BreakIterator::DONE) {
                ++count;
            }
        }
    }
    utext_close(ut);
    return count;
}

std::size_t Clip::bytes() const {
    return std::visit(Visitor{
                          [](const Text& t) { return t.text.size(); },
                          [](const Image& i) { return i.png.size(); },
                          [](const Files& f) {
                              std::size_t sum = 0;
                              for (const auto& file : f.files) {
                                  sum += file.data.size();
                              }
                              return sum;
                          },
                      },
                      value);
}

std::string Clip::summary() const {
    char buf[64];
    return std::visit(
        Visitor{
            [&](const Text& t) {
                std::snprintf(buf, sizeof buf, "text (%zu chars)", characterCount(t.text));
                return std::string(buf);
            },
            [&](const Image& i) {
                std::snprintf(buf, sizeof buf, "picture (%zu KB)", i.png.size() / 1024);
                return std::string(buf);
            },
            [&](const Files& f) {
                if (f.files.size() == 1) {
                    return "1 file (" + f.files.front().name + ")";
                }
                std::snprintf(buf, sizeof buf, "%zu files", f.files.size());
                return std::string(buf);
            },
        },
        value);
}

} // namespace helm
