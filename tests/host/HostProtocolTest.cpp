// The host's side of the native-messaging protocol: frames in and out,
// requests read, replies written, and bad input turned away.
#include <gtest/gtest.h>

#include "HostReplies.h"
#include "Json.h"
#include "NativeMessage.h"

namespace tavro::host {
namespace {

// A request's type, or nothing when it is no request.
std::optional<std::string> RequestType(std::string_view json) {
  const auto request = ParseRequest(json);
  return request ? std::optional<std::string>(request->type) : std::nullopt;
}

// A pipe that yields its bytes at most `chunk` at a time.
ReadBytes Pipe(std::string bytes, std::size_t chunk = 1) {
  auto rest = std::make_shared<std::string>(std::move(bytes));
  return [rest, chunk](char* data, std::size_t size) {
    const std::size_t n = std::min({size, chunk, rest->size()});
    rest->copy(data, n);
    rest->erase(0, n);
    return n;
  };
}

TEST(NativeMessageTest, FramesComeThroughWholeHoweverThePipeCutsThem) {
  const std::string big(0x0102, 'x');
  EXPECT_EQ(Frame(big).substr(0, 4), std::string("\x02\x01\0\0", 4));
  const ReadBytes pipe =
      Pipe(Frame("{\"type\":\"list\"}") + Frame(big) + Frame(""));
  EXPECT_EQ(ReadMessage(pipe).body, "{\"type\":\"list\"}");
  EXPECT_EQ(ReadMessage(pipe).body, big);
  const Incoming empty = ReadMessage(pipe);
  EXPECT_EQ(empty.kind, Incoming::Message);
  EXPECT_EQ(empty.body, "");
  EXPECT_EQ(ReadMessage(pipe).kind, Incoming::End);
}

TEST(NativeMessageTest, ACutOrOversizedFrameIsToldApart) {
  EXPECT_EQ(ReadMessage(Pipe(std::string("\x05\0", 2))).kind,
            Incoming::Truncated);
  EXPECT_EQ(ReadMessage(Pipe(Frame("{}").substr(0, 5))).kind,
            Incoming::Truncated);
  const std::string overLimit("\x01\x00\x10\x00", 4);  // 1 MiB + 1
  EXPECT_EQ(ReadMessage(Pipe(overLimit, 4)).kind, Incoming::TooLong);
  EXPECT_EQ(ReadMessage(Pipe("\xff\xff\xff\xff", 4)).kind, Incoming::TooLong);
  const std::string atLimit(kMaxMessage, ' ');
  EXPECT_EQ(ReadMessage(Pipe(Frame(atLimit), 1 << 16)).body.size(),
            kMaxMessage);
}

TEST(JsonTest, RequestsAreWholeObjectsAndTheirTypeIsRead) {
  EXPECT_EQ(RequestType("{\"type\":\"list\"}"), "list");
  EXPECT_EQ(RequestType(" \r\n{ \"id\" : [1, -2.5e+3, true, null, {\"a\":"
                        "\"\\u00e9\\n\"}], \"type\" : \"list\" }\t"),
            "list");
  EXPECT_EQ(RequestType("{\"type\":\"a\\\"b\"}"), "a\"b");
  EXPECT_EQ(RequestType("{\"kind\":\"list\"}"), "");
  EXPECT_EQ(RequestType("{\"type\":7}"), "");
  EXPECT_EQ(RequestType("{}"), "");
  for (const char* bad :
       {"", "[]", "\"list\"", "{", "{\"type\":\"list\"", "{\"type\":\"list\",}",
        "{\"type\":\"list\"} x", "{type:\"list\"}", "{\"type\":'list'}",
        "{\"a\":01}", "{\"a\":1.}", "{\"a\":-}", "{\"a\":tru}",
        "{\"a\":\"\\x\"}", "{\"a\":\"\\u12\"}", "{\"a\":\"tab\there\"}",
        "{\"a\":[1,]}", "{\"a\" 1}", "{\"a\":\"unterminated}"})
    EXPECT_EQ(RequestType(bad), std::nullopt) << bad;
}

TEST(JsonTest, NestingIsBoundedSoNoInputRunsTheStackOut) {
  auto nested = [](int depth) {
    return "{\"a\":" + std::string(depth, '[') + std::string(depth, ']') + "}";
  };
  EXPECT_EQ(RequestType(nested(63)), "");
  EXPECT_EQ(RequestType(nested(64)), std::nullopt);
  EXPECT_EQ(RequestType(nested(1000000)), std::nullopt);
}

TEST(JsonTest, QuotedTextReadsBackAsItWasAndIsAlwaysUtf8) {
  EXPECT_EQ(JsonQuote("a\"b\\c\r\nd\te\x01\x1f"),
            "\"a\\\"b\\\\c\\r\\nd\\te\\u0001\\u001f\"");
  const std::string text = "Z\xc3\xbcrich \xe6\x9e\x97\xe6\xb5\xa9 \"q\" \\";
  EXPECT_EQ(ParseRequest("{\"title\":" + JsonQuote(text) + "}")->title, text);
  // A lone byte, a cut sequence, an overlong form, a surrogate, past
  // U+10FFFF: each byte that is not UTF-8 becomes U+FFFD.
  const std::string fffd = "\xef\xbf\xbd";
  for (const char* bad :
       {"\xff", "\xe6\x9e", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
    std::string replaced;
    for (std::size_t n = std::string(bad).size(); n > 0; --n) replaced += fffd;
    EXPECT_EQ(JsonQuote(std::string("<") + bad + ">"), "\"<" + replaced + ">\"")
        << bad;
  }
}

TEST(JsonTest, TitleAndIndexAreReadWithEveryEscapeUndone) {
  const auto request = ParseRequest(
      "{\"index\":12,\"title\":\"a\\u00e9\\ud83d\\ude00\\ud800x\\n\","
      "\"nested\":{\"index\":3,\"title\":\"no\"},\"title\":\"second\"}");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->index, 12u);
  EXPECT_EQ(request->title, "a\xc3\xa9\xf0\x9f\x98\x80\xef\xbf\xbdx\n");
  for (const char* index : {"-1", "1.5", "1e2", "4294967296", "\"3\""})
    EXPECT_EQ(ParseRequest(std::string("{\"index\":") + index + "}")->index,
              std::nullopt)
        << index;
  EXPECT_EQ(ParseRequest("{\"index\":4294967295}")->index, 4294967295u);
}

TEST(HostRepliesTest, TheListCarriesTitlesAndAPickGetsItsContent) {
  const auto entries = [] {
    return std::vector<HostEntry>{{"E-mail", "me@example.org"},
                                  {"Address", "1 Main St\r\nTown"}};
  };
  EXPECT_EQ(Answer("{\"type\":\"list\"}", entries),
            "{\"type\":\"list\",\"entries\":[{\"title\":\"E-mail\"},"
            "{\"title\":\"Address\"}]}");
  EXPECT_EQ(ListMessage({}), "{\"type\":\"list\",\"entries\":[]}");
  const struct {
    const char* request;
    const char* reply;
  } kPicks[] = {
      {R"({"type":"content","index":1,"title":"Address"})",
       R"({"type":"content","index":1,"content":"1 Main St\r\nTown"})"},
      {R"({"type":"content","index":1})",
       R"({"type":"content","index":1,"content":"1 Main St\r\nTown"})"},
      // Moved since the menu was built: found by its Title.
      {R"({"type":"content","index":7,"title":"E-mail"})",
       R"({"type":"content","index":7,"content":"me@example.org"})"},
      {R"({"type":"content","index":0,"title":"Gone"})",
       R"({"type":"error","index":0,"error":"This entry is no longer in )"
       R"(Tavro's list; pick again from the menu."})"},
      {R"({"type":"content","title":"E-mail"})",
       R"({"type":"error","error":"A content request names the entry's )"
       R"(index."})"},
  };
  for (const auto& pick : kPicks)
    EXPECT_EQ(Answer(pick.request, entries), pick.reply) << pick.request;

  bool asked = false;
  const auto none = [&] {
    asked = true;
    return std::vector<HostEntry>{};
  };
  EXPECT_EQ(
      Answer("{\"type\":\"save\"}", none),
      "{\"type\":\"error\",\"error\":\"Unknown request type "
      "\\\"save\\\"; the host answers \\\"list\\\" and \\\"content\\\".\"}");
  EXPECT_EQ(Answer("list", none),
            "{\"type\":\"error\",\"error\":\"A request is one JSON object.\"}");
  EXPECT_FALSE(asked);
}

// Browsers drop a host whose message is over 1 MiB: the Titles of a list
// of several megabytes fill one message and the rest are counted, a Content
// too long is refused, and a request near the limit is not quoted whole.
TEST(HostRepliesTest, NoMessageIsOverTheLimitWhateverTheList) {
  std::vector<HostEntry> big;
  for (int i = 0; i < 6000; ++i)
    big.push_back(
        {std::string(1000, 'a' + i % 26) + "\"\x01", std::string(1000, 'c')});
  const auto all = [&] { return big; };
  const std::string list = Answer(R"({"type":"list"})", all);
  EXPECT_LE(list.size(), kMaxMessage);
  EXPECT_GT(list.size(), kMaxMessage - 1100);
  EXPECT_TRUE(ParseRequest(list));  // one whole object
  std::size_t listed = 0;
  for (std::size_t at = 0; (at = list.find("{\"title\":", at)) != list.npos;
       ++at)
    ++listed;
  EXPECT_NE(list.find(",\"omitted\":" + std::to_string(6000 - listed) + "}"),
            std::string::npos);

  big[3].content = std::string(kMaxMessage, 'x');
  const std::string tooLong = Answer(R"({"type":"content","index":3})", all);
  EXPECT_EQ(
      tooLong.rfind("{\"type\":\"error\",\"index\":3,\"error\":\"This entry "
                    "is too long",
                    0),
      0u);

  const std::string unknown =
      "{\"type\":\"" + std::string(kMaxMessage - 20, 'y') + "\xff\"}";
  EXPECT_LT(Answer(unknown, all).size(), 200u);
  const std::string invalid = Answer("{\"type\":\"\xff\xfe\"}", all);
  EXPECT_NE(invalid.find("\\\"\xef\xbf\xbd\xef\xbf\xbd\\\""), std::string::npos)
      << invalid;
}

}  // namespace
}  // namespace tavro::host
