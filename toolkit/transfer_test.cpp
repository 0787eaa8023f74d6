#include <gtest/gtest.h>

#include <chrono>

#include "toolkit/test_support/http_server.h"
#include "toolkit/transfer.h"

namespace velmora::toolkit {
namespace {

using testing::HttpAnswer;
using testing::HttpServer;
using namespace std::chrono_literals;

TEST(Transfer, ReturnsTheBodyDecodedFromTheAnsiCodePage) {
    HttpServer server;
    server.Answer("/update/vmx/nlst.txt", "\xB2\xA5\xB7\xC5\r\nline 2");  // 播放
    const auto text = OpenUrl(server.BaseUrl() + "/update/vmx/nlst.txt", {5s});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "播放\r\nline 2");
}

TEST(Transfer, EmptyBodyIsAnEmptyResultNotAFailure) {
    HttpServer server;
    server.Answer("/empty.txt", "");
    const auto text = OpenUrl(server.BaseUrl() + "/empty.txt", {5s});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "");
}

TEST(Transfer, FailuresGiveNoResult) {
    HttpServer server;
    server.Answer("/half.txt", HttpAnswer{HttpAnswer::Kind::BreakOff, std::string(20000, 'x')});
    server.Answer("/big.txt", std::string(3000, 'y'));
    const std::string base = server.BaseUrl();
    EXPECT_FALSE(OpenUrl(base + "/missing.txt", {5s})) << "404";
    EXPECT_FALSE(OpenUrl(base + "/half.txt", {5s})) << "broken off half-way";
    EXPECT_FALSE(OpenUrl(base + "/big.txt", {5s, 2000})) << "larger than the bound";
    EXPECT_TRUE(OpenUrl(base + "/big.txt", {5s, 3000})) << "exactly the bound";
    EXPECT_FALSE(OpenUrl("http://127.0.0.1:1/nothing", {5s})) << "nobody listening";
}

TEST(Transfer, ServerThatNeverAnswersEndsAtTheTimeOut) {
    HttpServer server;
    server.Answer("/hang.txt", HttpAnswer{HttpAnswer::Kind::Hang, {}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OpenUrl(server.BaseUrl() + "/hang.txt", {1500ms}));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 1400ms);
    EXPECT_LT(elapsed, 10s) << "the time-out must bound the call";
}

TEST(Transfer, SlowButSteadyTransferCompletes) {
    HttpServer server;
    server.Answer("/slow.txt", HttpAnswer{HttpAnswer::Kind::Body, std::string(4000, 'z'), 1000, 100});
    const auto text = OpenUrl(server.BaseUrl() + "/slow.txt", {5s});
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 4000u);
}

}  // namespace
}  // namespace velmora::toolkit
