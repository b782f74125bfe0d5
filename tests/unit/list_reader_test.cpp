#include "serverlist/list_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
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

// The entries of a list; cut: whether the list went on beyond limit.
std::vector<std::string> entriesOf(const std::string& bytes, std::size_t limit = maxListEntries, bool cut = false) {
    std::vector<std::string> entries;
    EXPECT_EQ(readListEntries(fileOf(bytes).get(), [&](const char* entry) { entries.emplace_back(entry); }, limit), cut);
    return entries;
}

using Entries = std::vector<std::string>;

}  // namespace

TEST(ReadListEntries, EveryLineEndGivesTheSameLines) {
    // The last line needs no line end.
    for (const char* list : {"def\nbc\na\n", "def\r\nbc\r\na\r\n", "def\rbc\ra\r", "def\rbc\r\na"})
        EXPECT_EQ(entriesOf(list), (Entries{"def", "bc", "a"})) << list;
    // CR LF is one line end, LF CR two: the lone CR makes an empty line, which ends the list.
    EXPECT_EQ(entriesOf("a\r\r\nb\n"), Entries{"a"});
    EXPECT_EQ(entriesOf("a\n\rb\n"), Entries{"a"});
}

TEST(ReadListEntries, LongLinesAreCutAndTheNextCharacterIsLost) {
    std::string line300;
    for (int i = 0; i < 300; ++i) line300 += static_cast<char>('a' + i % 26);
    EXPECT_EQ(entriesOf(line300 + "\nnext\n"), (Entries{line300.substr(0, 255), line300.substr(256), "next"}));
    // 255 characters fit, and a line end right after them still ends the line normally.
    const std::string line255(255, 'h');
    EXPECT_EQ(entriesOf(line255 + "\r\nnext"), (Entries{line255, "next"}));
}

TEST(ReadListEntries, ListEndsAtXEmptyLineOrEndOfFile) {
    EXPECT_EQ(entriesOf(""), Entries{});
    EXPECT_EQ(entriesOf("\na\nb\n"), Entries{});
    EXPECT_EQ(entriesOf("a\nb:27911\n\nc\n"), (Entries{"a", "b:27911"}));
    EXPECT_EQ(entriesOf("a\nX\nc\n"), Entries{"a"});
    EXPECT_EQ(entriesOf("a\r\nX"), Entries{"a"});
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
