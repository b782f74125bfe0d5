#include "serverlist/list_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// A temporary file holding bytes, positioned at its start.
std::unique_ptr<std::FILE, int (*)(std::FILE*)> fileOf(const std::string& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
    if (!file) throw std::runtime_error("tmpfile failed");
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

using Line = std::pair<int, std::string>;

// Every line readListLine gives before the end of the file: its result and what it stored.
std::vector<Line> linesOf(const std::string& bytes) {
    const auto file = fileOf(bytes);
    std::vector<Line> lines;
    std::vector<char> buffer(listLineSize + 1, '#');
    for (int guard = 0; guard < 1000; ++guard) {
        const int result = readListLine(file.get(), buffer.data(), listLineSize);
        if (result == -1 && std::feof(file.get())) break;
        lines.emplace_back(result, std::string(buffer.data(), static_cast<std::size_t>(result + 1)));
        EXPECT_EQ(buffer[static_cast<std::size_t>(result + 1)], '\0');
    }
    return lines;
}

// The entries of a list; cut: whether the list went on beyond limit.
std::vector<std::string> entriesOf(const std::string& bytes, std::size_t limit = maxListEntries, bool cut = false) {
    std::vector<std::string> entries;
    EXPECT_EQ(readListEntries(fileOf(bytes).get(), [&](const char* entry) { entries.emplace_back(entry); }, limit), cut);
    return entries;
}

using Entries = std::vector<std::string>;

}  // namespace

TEST(ReadListLine, EveryLineEndGivesTheSameLines) {
    const std::vector<Line> expected = {{0, "a"}, {1, "bc"}, {2, "def"}};
    EXPECT_EQ(linesOf("a\nbc\ndef\n"), expected);
    EXPECT_EQ(linesOf("a\r\nbc\r\ndef\r\n"), expected);
    EXPECT_EQ(linesOf("a\rbc\rdef\r"), expected);
    EXPECT_EQ(linesOf("a\rbc\r\ndef\n"), expected);
    // The last line needs no line end.
    EXPECT_EQ(linesOf("a\nbc\ndef"), expected);
}

TEST(ReadListLine, CrLfPairsOnlyInThatOrder) {
    // A lone CR followed by CR LF, and an LF followed by CR, each leave an empty line.
    EXPECT_EQ(linesOf("a\r\r\nb"), (std::vector<Line>{{0, "a"}, {-1, ""}, {0, "b"}}));
    EXPECT_EQ(linesOf("a\n\rb"), (std::vector<Line>{{0, "a"}, {-1, ""}, {0, "b"}}));
    EXPECT_EQ(linesOf("\n\n"), (std::vector<Line>{{-1, ""}, {-1, ""}}));
}

TEST(ReadListLine, LongLinesAreCutAndTheNextCharacterIsLost) {
    std::string line300;
    for (int i = 0; i < 300; ++i) line300 += static_cast<char>('a' + i % 26);
    const auto lines = linesOf(line300 + "\nnext\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Line(254, line300.substr(0, 255)));
    EXPECT_EQ(lines[1], Line(43, line300.substr(256)));
    EXPECT_EQ(lines[2], Line(3, "next"));

    // 255 characters fit, and a line end right after them still ends the line normally.
    const std::string line255(255, 'h');
    EXPECT_EQ(linesOf(line255 + "\r\nnext"), (std::vector<Line>{{254, line255}, {3, "next"}}));
}

TEST(ReadListLine, ZeroBytesAreStoredLikeOthers) {
    const auto lines = linesOf(std::string("a\0b\n", 4));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].first, 2);
    EXPECT_EQ(lines[0].second, std::string("a\0b", 3));
}

TEST(ReadListEntries, ListEndsAtXEmptyLineOrEndOfFile) {
    EXPECT_EQ(entriesOf(""), Entries{});
    EXPECT_EQ(entriesOf("\na\nb\n"), Entries{});
    EXPECT_EQ(entriesOf("a\nb:27911\n\nc\n"), (Entries{"a", "b:27911"}));
    EXPECT_EQ(entriesOf("a\r\nb\r\n\r\nc\r\n"), (Entries{"a", "b"}));
    EXPECT_EQ(entriesOf("a\nX\nc\n"), Entries{"a"});
    EXPECT_EQ(entriesOf("a\r\nX"), Entries{"a"});
    EXPECT_EQ(entriesOf("a\nb"), (Entries{"a", "b"}));
    // Only an upper-case X alone on its line ends the list; one character is an entry.
    EXPECT_EQ(entriesOf("x\nX \nXX\n7\nX\nlost\n"), (Entries{"x", "X ", "XX", "7"}));
    // No trimming or validation.
    EXPECT_EQ(entriesOf(" host \n#comment\n"), (Entries{" host ", "#comment"}));
    // At most the limit: a longer list is cut and says so; one that ends there is whole.
    EXPECT_EQ(entriesOf("a\nb\nc\n", 2, true), (Entries{"a", "b"}));
    EXPECT_EQ(entriesOf("a\nb\nX\nc\n", 2), (Entries{"a", "b"}));
    EXPECT_EQ(entriesOf("a\nb\n\nc\n", 2), (Entries{"a", "b"}));
}

TEST(ReadListEntries, HttpHeaderIsSkipped) {
    const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nX-A: b\r\n\r\n";
    EXPECT_EQ(entriesOf(header + "10.0.0.1:27910\r\nhost.example\r\nX\r\nafter\r\n"),
              (Entries{"10.0.0.1:27910", "host.example"}));
    EXPECT_EQ(entriesOf("HTTP/1.1 404 Not Found\n\n<html>\n<body>\n\nmore\n"), (Entries{"<html>", "<body>"}));
    // A header with nothing after it, and a header that never ends.
    EXPECT_EQ(entriesOf(header), Entries{});
    EXPECT_EQ(entriesOf("HTTP/1.0 200 OK\nA: b\nC: d"), Entries{});
    // A one-character line ends the header as well.
    EXPECT_EQ(entriesOf("HTTP/1.0 200 OK\nA: b\nz\nfirst\nsecond\n"), (Entries{"first", "second"}));
    // The prefix is compared byte for byte: otherwise the header lines are entries.
    EXPECT_EQ(entriesOf("http/1.0 200 OK\nServer: x\n\nentry\n"), (Entries{"http/1.0 200 OK", "Server: x"}));
    EXPECT_EQ(entriesOf("HTTP\nb\n"), (Entries{"HTTP", "b"}));
    EXPECT_EQ(entriesOf("HTTP/\nab\n\nc\n"), Entries{"c"});
}
