#include "http/response_header.h"

#include <gtest/gtest.h>

#include "core/errors/numbered_error.h"
#include "http/http_headers.h"

namespace tarvik {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string Text(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

const std::string kHeader =
    "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 30\r\n\r\n";

TEST(ResponseHeaderTest, CollectsAHeaderHoweverItIsCut) {
  // A body that looks like a header must stay body.
  const std::string body = "Content-Length: 999\r\n\r\nabcdef";
  const std::string response = kHeader + body;
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                            kHeader.size() - 2, kHeader.size(), response.size()}) {
    SCOPED_TRACE(piece);
    ResponseHeaderReader reader;
    std::string after;
    for (std::size_t at = 0; at < response.size(); at += piece) {
      const std::string arrival = response.substr(at, piece);
      if (reader.Complete()) {
        after += arrival;
      } else if (reader.Take(Bytes(arrival))) {
        after += Text(reader.BodyStart());
      }
    }
    ASSERT_TRUE(reader.Complete());
    EXPECT_EQ(reader.Header(), kHeader);
    EXPECT_EQ(after, body);
    EXPECT_EQ(GetFileSizeFromHead(reader.Header()), 30);
  }
}

// The limit is the same however the header arrives: one whose empty line starts at the limit is
// taken, one a byte longer refused, whole or cut into small pieces.
TEST(ResponseHeaderTest, RefusesAHeaderPastTheLimitHoweverItArrives) {
  for (const std::size_t length :
       {ResponseHeaderReader::kMaxHeaderSize, ResponseHeaderReader::kMaxHeaderSize + 1}) {
    std::string header = "HTTP/1.1 200 OK\r\nX-Filler: ";
    header.resize(length, 'x');
    header += "\r\n\r\nbody";  // the empty line starts at `length`
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, header.size()}) {
      SCOPED_TRACE(std::to_string(length) + " bytes in pieces of " + std::to_string(piece));
      ResponseHeaderReader reader;
      long refused = 0;
      try {
        for (std::size_t at = 0; at < header.size() && !reader.Complete(); at += piece) {
          reader.Take(Bytes(header.substr(at, piece)));
        }
      } catch (const NumberedError& error) {
        refused = error.number();
        EXPECT_EQ(error.description(), "Header Error");
      }
      if (length == ResponseHeaderReader::kMaxHeaderSize) {
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(reader.Header().size(), length + 4);
      } else {
        EXPECT_EQ(refused, 18000);
      }
    }
  }
}

TEST(HttpHeadersTest, StatusLines) {
  const struct {
    const char* header;
    int code;
    const char* reason;
  } cases[] = {
      {"HTTP/1.1 206 Partial Content\r\n\r\n", 206, "Partial Content"},
      {"http/1.0 404 Not Found\r\n\r\n", 404, "Not Found"},
      {"garbage\r\nHTTP/1.1 301 Moved Permanently\r\n\r\n", 301, "Moved Permanently"},
      {"HTTP/1.1 200\r\n\r\n", 200, ""},
  };
  for (const auto& c : cases) {
    const StatusLine status = GetStatusLine(c.header);
    EXPECT_EQ(status.code, c.code) << c.header;
    EXPECT_EQ(status.reason, c.reason) << c.header;
  }
  EXPECT_THROW(GetStatusLine("HTTP/1.1\r\n\r\n"), NumberedError);
  EXPECT_THROW(GetStatusLine("HTTP/1.1 OK fine\r\n\r\n"), NumberedError);
}

TEST(HttpHeadersTest, ValuesLengthsRangesAndErrorTitles) {
  const std::string header =
      "HTTP/1.1 206 Partial Content\r\ncontent-length:  600 \r\nContent-Type: text/html\r\n"
      "Content-Range: bytes 400-999/1000\r\n\r\n";
  EXPECT_EQ(GetHeaderValue(header, "Content-Length"), "600");
  EXPECT_EQ(GetHeaderValue(header, "Location"), std::nullopt);
  EXPECT_EQ(GetFileSizeFromHead(header), 600);
  EXPECT_EQ(GetFileSizeFromHead("HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n"), 0);
  const ContentRange range = ParseContentRange(*GetHeaderValue(header, "Content-Range"));
  EXPECT_EQ(range.first, 400);
  EXPECT_EQ(range.total, 1000);
  EXPECT_EQ(ParseContentRange("bytes */1000").first, std::nullopt);
  EXPECT_EQ(ParseContentRange("bytes */1000").total, 1000);

  EXPECT_EQ(GetHtmlErrorTitle(header, "<html><TITLE>\r\n\tServer ERROR 17 \r\n</title>"),
            "Server ERROR 17");
  EXPECT_EQ(GetHtmlErrorTitle(header, "<title>Invalid request</title>"), "Invalid request");
  EXPECT_EQ(GetHtmlErrorTitle(header, "<title>下载出错</title>"), "下载出错");
  EXPECT_EQ(GetHtmlErrorTitle(header, "<title>Welcome</title>"), "");
  EXPECT_EQ(GetHtmlErrorTitle("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n",
                              "<title>Error</title>"),
            "");
}

}  // namespace
}  // namespace tarvik
