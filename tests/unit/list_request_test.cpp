#include "serverlist/master_download.h"

#include <gtest/gtest.h>

#include <string>

TEST(ListRequest, IsABareHttp10GetOfTheWholeUrl) {
    const std::string request = buildListRequest(masterListUrl);
    EXPECT_EQ(request, std::string("GET ") + masterListUrl + " HTTP/1.0\n\n");
    EXPECT_EQ(request.size(), std::string(masterListUrl).size() + 15);
    EXPECT_EQ(buildListRequest("HTTP://a/b?c=d"), "GET HTTP://a/b?c=d HTTP/1.0\n\n");
}

TEST(ListRequest, HostIsTheTextBetweenSchemeAndFirstSlash) {
    EXPECT_EQ(hostOfUrl(masterListUrl), "master.kestrelforge.net");
    EXPECT_EQ(hostOfUrl("HtTp://127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(hostOfUrl("http://a/b/c"), "a");
    // Nothing else of a URL is recognised: a port or user name stays in the host text.
    EXPECT_EQ(hostOfUrl("http://user@host:8080/list"), "user@host:8080");
    EXPECT_EQ(hostOfUrl("http:///list"), "");
    EXPECT_EQ(hostOfUrl("http:"), "");
}

TEST(ListRequest, HostIsCutAt255Characters) {
    const std::string longHost(300, 'h');
    EXPECT_EQ(hostOfUrl(("http://" + longHost + "/list").c_str()), longHost.substr(0, 255));
    const std::string host254(254, 'h');
    EXPECT_EQ(hostOfUrl(("http://" + host254 + "/list").c_str()), host254);
    // The cut comes first: a slash beyond it no longer matters.
    EXPECT_EQ(hostOfUrl(("http://" + std::string(255, 'h') + "/").c_str()), std::string(255, 'h'));
}
