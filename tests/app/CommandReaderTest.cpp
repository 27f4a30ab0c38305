#include "app/CommandReader.h"

#include <gtest/gtest.h>

using namespace helm;

using Lines = std::vector<std::optional<std::string>>;

TEST(CommandReader, ReassemblesLinesWhateverTheReads) {
    struct Case {
        std::vector<std::string> reads;
        Lines lines;
    };
    const Case cases[] = {
        {{"status\n"}, {"status"}},
        {{"a\nb\n"}, {"a", "b"}},
        {{"sta", "tus\n"}, {"status"}},
        {{"key 3", "6 1\r", "\n"}, {"key 36 1"}},
        {{"a\r\n\n\r\n  \n"}, {"a", "  "}}, // empty lines vanish; spaces are the reader's
        {{"no end"}, {}},
        {{"x\ry\n"}, {"x\ry"}},           // only a carriage return right before the line feed goes
        {{"a\xff\n"}, {"a\xef\xbf\xbd"}}, // invalid UTF-8 replaced
    };
    for (const auto& c : cases) {
        CommandReader buffer;
        Lines got;
        for (const auto& r : c.reads) {
            for (auto& l : buffer.feed(r)) {
                got.push_back(std::move(l));
            }
        }
        EXPECT_EQ(c.lines, got) << c.reads.front();
    }
}

TEST(CommandReader, AnOverlongLineIsReportedOnceAndSkipped) {
    CommandReader buffer;
    std::string chunk(CommandReader::maxLine / 4, 'x');
    Lines got;
    for (int i = 0; i < 10; ++i) { // far past the cap, in several reads
        for (auto& l : buffer.feed(chunk)) {
            got.push_back(std::move(l));
        }
    }
    for (auto& l : buffer.feed("tail\nstatus\n")) {
        got.push_back(std::move(l));
    }
    EXPECT_EQ((Lines{std::nullopt, "status"}), got);

    // A line of exactly the cap is still a line.
    CommandReader exact;
    EXPECT_EQ(Lines{std::string(CommandReader::maxLine, 'y')},
              exact.feed(std::string(CommandReader::maxLine, 'y') + "\n"));
}

TEST(CommandReader, TheEndOfTheStreamEndsTheLastLine) {
    const std::string overlong(CommandReader::maxLine + 1, 'x');
    struct Case {
        std::string sent;
        Lines lines; // from the bytes and the end together
    };
    const Case cases[] = {
        {"status", {"status"}},
        {"health\nstatus\r", {"health", "status"}},
        {"status\n", {"status"}}, // nothing more at the end
        {"", {}},
        {overlong, {std::nullopt}}, // reported once, as while the stream went on
    };
    for (const auto& c : cases) {
        CommandReader reader;
        Lines got = reader.feed(c.sent);
        for (auto& l : reader.finish()) {
            got.push_back(std::move(l));
        }
        EXPECT_EQ(c.lines, got) << c.sent.substr(0, 20);
    }
}
