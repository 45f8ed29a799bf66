// The value cipher and the digest text, against Wine's real CryptoAPI and
// message queue. Expected digests come from RFC 1321 and an independent MD5.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cipher/digest_text.h"
#include "cipher/value_cipher.h"
#include "platform/crypto.h"

namespace {

constexpr const char* kKey = "peltrimuva";
constexpr const char* kTag = "9E0E5C281";  // md5("peltrimuva") = b89e0e5c281a...

TEST(DigestText, Md5OfKnownInputs) {
  struct Case {
    std::string bytes;
    const char* md5;
  };
  const std::vector<Case> cases = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"版本配置", "3005fea0e6fd4399c31c06175678c652"},  // its GBK bytes
      {std::string("a\0b", 3), "70350f6027bce3713f6b76473084309b"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const std::string md5 = cases[i].md5;
    EXPECT_EQ(cipher::Md5Text(cases[i].bytes), md5);
    const std::string upper = cipher::DigestText(cases[i].bytes, platform::kCalgMd5, 16);
    EXPECT_EQ(cipher::Md5Text(cases[i].bytes, {.upperCase = true}), upper);
    ASSERT_EQ(upper.size(), 32u);
    for (std::size_t c = 0; c < 32; ++c) {
      EXPECT_EQ(upper[c], md5[c] >= 'a' ? md5[c] - 'a' + 'A' : md5[c]) << "digit " << c;
    }
    EXPECT_EQ(cipher::Md5Text(cases[i].bytes, {.shortForm = true}), md5.substr(8, 16));
  }
}

TEST(DigestText, OtherAlgorithmsAndBufferSizes) {
  constexpr unsigned int kCalgSha1 = 0x8004;
  EXPECT_EQ(cipher::DigestText("abc", kCalgSha1, 20), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  // A larger buffer gives only the digits of the bytes the provider wrote.
  EXPECT_EQ(cipher::DigestText("abc", platform::kCalgMd5, 64), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(DigestText, EveryFailureGivesTheEmptyText) {
  struct Case {
    unsigned int algorithm;
    unsigned long length;
  };
  const std::vector<Case> cases = {
      {0x80FF, 16},              // an algorithm the provider does not know
      {0, 16},                   // no algorithm at all
      {platform::kCalgMd5, 15},  // a buffer one byte short of the hash value
      {platform::kCalgMd5, 1},
      {platform::kCalgMd5, 0},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(cipher::DigestText("abc", cases[i].algorithm, cases[i].length), "") << "case " << i;
  }
  // The failures released what they had acquired: the provider still works.
  EXPECT_EQ(cipher::Md5Text("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(KeyTag, IsDigits3To11OfTheMd5InUpperCase) {
  EXPECT_EQ(cipher::KeyTag(kKey), kTag);
  EXPECT_EQ(cipher::KeyTag(""), "1D8CD98F0");           // d41d8cd98f00...
  EXPECT_EQ(cipher::KeyTag("版本配置"), "05FEA0E6F");  // 3005fea0e6fd...
}

TEST(HexToInt64, TakesTheLast16DigitsAndSkipsEverythingElse) {
  struct Case {
    std::string text;
    std::int64_t value;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"x1y2", 0x12},
      {"1" + std::string(16, '0'), 0},
      {std::string(16, 'F'), -1},
      {std::string(16, 'f'), -1},
      {"7fffffffffffffff", INT64_MAX},
      {"8000000000000000", INT64_MIN},
      {"aB", 0xAB},
      {"G?", 0},
      {"丄", 0},         // 81 41: its trail byte is an "A", not a digit
      {"1丄", 1},
      {"\x81", 0},        // a lone lead byte at the end
      {"F\x81", 0xF},
      {"\x81" "F", 0},    // lead byte and "F" make one double-byte character
      {"12 34\t56\r\n78", 0x12345678},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(cipher::HexToInt64(cases[i].text), cases[i].value) << "case " << i;
  }
}

TEST(BytesToHex, TwoUpperCaseDigitsPerByte) {
  EXPECT_EQ(cipher::BytesToHex(""), "");
  EXPECT_EQ(cipher::BytesToHex(std::string("\x00\x0F\x10\xAB\xFF", 5)), "000F10ABFF");
  EXPECT_EQ(cipher::HexPairsToBytes("000F10ABFF"), std::string("\x00\x0F\x10\xAB\xFF", 5));
  EXPECT_EQ(cipher::HexPairsToBytes("0f1"), std::string("\x0F\x01", 2));
}

TEST(EncodeValue, StoredTextsAreExact) {
  struct Case {
    std::string plain;
    std::string stored;
  };
  const std::string tag = kTag;
  const std::vector<Case> cases = {
      {"", tag},
      {"a", "6F" + tag},
      {"\x0E", "00" + tag},  // the mask's own low byte
      {"\xFF", "F1" + tag},
      {"版", "BEE8" + tag},  // B0 E6, masked byte by byte
      {"d:\\WeChat", "6A3452596B4D666F7A" + tag},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_EQ(cipher::EncodeValue(cases[i].plain, kKey), cases[i].stored);
    EXPECT_EQ(cipher::DecodeValue(cases[i].stored, kKey), cases[i].plain);
  }
}

TEST(EncodeValue, EveryByteAndEveryKeyRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::vector<std::string> plains = {all, "D:\\Program Files (x86)\\Tencent\\微信 6",
                                           std::string(5115, 'x')};
  const std::vector<std::string> keys = {kKey, "", " ", "版本配置", all};
  for (std::size_t p = 0; p < plains.size(); ++p) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      SCOPED_TRACE("plain " + std::to_string(p) + " key " + std::to_string(k));
      const std::string stored = cipher::EncodeValue(plains[p], keys[k]);
      ASSERT_EQ(stored.size(), 2 * plains[p].size() + 9);
      EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
      EXPECT_EQ(cipher::DecodeValue(stored, keys[k]), plains[p]);
    }
  }
  EXPECT_EQ(cipher::DecodeValue(cipher::EncodeValue("a", kKey), "peltrimuvA"), "");
}

TEST(DecodeValue, StoredTextsAsAPersonMightHaveEditedThem) {
  struct Case {
    std::string stored;
    std::string plain;
  };
  const std::string tag = kTag;
  const std::vector<Case> cases = {
      {tag, ""},
      {"6f" + tag, "a"},                  // lower-case digits in the body
      {"6F9e0e5c281", ""},                // lower-case letters in the tag
      {"6F1D8CD98F0", ""},                // the tag of another key
      {"7" + tag, "\x09"},                // an odd last character is a pair: 7 ^ 0E
      {"6F7" + tag, "a\x09"},
      {"G?" + tag, "\x0E"},               // no digit: 0, masked
      {"G4" + tag, "\x0A"},               // one digit: 4, masked
      {"4G" + tag, "\x0A"},
      {"6F0E6F" + tag, "a"},              // 0E unmasks to zero: the text ends there
      {"0E" + tag, ""},
      {"丄6F" + tag, "\x0E" "a"},         // a double-byte character is no digit
      {"6丄" + tag, "\x08\x04"},          // pairs "6\x81" and "A"
      {"6", ""},
      {"6F", ""},
      {"9E0E5C28", ""},                   // 1 to 8 characters never match a tag
      {"E0E5C281", ""},
      {"x" + tag, "\x0E"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(cipher::DecodeValue(cases[i].stored, kKey), cases[i].plain) << "case " << i;
  }
}

TEST(DecodeValue, HostileStoredTextsOfAnyLength) {
  // What an INI read can yield: any bytes but zero, up to 10,239 of them.
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> byte(1, 255);
  const std::vector<std::size_t> lengths = {1, 2, 8, 9, 10, 11, 17, 255, 4096, 10239};
  for (std::size_t n : lengths) {
    for (int withTag = 0; withTag < 2; ++withTag) {
      SCOPED_TRACE("length " + std::to_string(n) + (withTag ? " with tag" : ""));
      std::string stored;
      for (std::size_t i = 0; i < n; ++i) stored += static_cast<char>(byte(random));
      if (withTag) stored += kTag;
      const std::string plain = cipher::DecodeValue(stored, kKey);
      if (!withTag) {
        EXPECT_EQ(plain, "");
      } else {
        EXPECT_LE(plain.size(), (n + 1) / 2);
        EXPECT_EQ(plain.find('\0'), std::string::npos);
      }
    }
    // Lead bytes only: each pair is one double-byte character, no digit.
    EXPECT_EQ(cipher::HexToInt64(std::string(n, '\x81')), 0);
    EXPECT_EQ(cipher::DecodeValue(std::string(n, '\xFE') + kTag, kKey),
              std::string((n + 1) / 2, '\x0E'));
  }
}

// A window whose handler changes the texts that an encode or decode was given.
std::string* handedText = nullptr;
std::string* handedKey = nullptr;
int handlerRuns = 0;

LRESULT CALLBACK ChangingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_APP) {
    ++handlerRuns;
    // Same lengths, so the strings are changed in place: a view into them
    // would see the new bytes.
    handedText->assign(handedText->size(), 'Z');
    handedKey->assign(handedKey->size(), 'k');
    return 0;
  }
  if (msg == WM_APP + 1) {
    ++handlerRuns;
    *handedText = std::string(100000, 'Q');  // reallocates: the old bytes are freed
    handedKey->clear();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

class ReentrantHandler : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ChangingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KorvalinCipherTest";
    RegisterClassA(&wc);
    window_ = CreateWindowA("KorvalinCipherTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    handlerRuns = 0;
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
};

TEST_F(ReentrantHandler, ChangingTheCallersTextsDuringACallLeavesItsResult) {
  const std::string plain = "D:\\微信\\WeChat";
  const std::string stored = cipher::EncodeValue(plain, kKey);
  for (UINT message : {WM_APP, WM_APP + 1}) {
    SCOPED_TRACE("message " + std::to_string(message - WM_APP));
    std::string text = plain;
    std::string key = kKey;
    handedText = &text;
    handedKey = &key;
    ASSERT_TRUE(PostMessageA(window_, message, 0, 0));
    EXPECT_EQ(cipher::EncodeValue(text, key), stored);
    EXPECT_EQ(handlerRuns, 1);  // the handler ran inside the encode

    text = stored;
    key = kKey;
    ASSERT_TRUE(PostMessageA(window_, message, 0, 0));
    EXPECT_EQ(cipher::DecodeValue(text, key), plain);
    EXPECT_EQ(handlerRuns, 2);
    handlerRuns = 0;
  }
}

TEST_F(ReentrantHandler, AQuitMessageStaysQueuedThroughACall) {
  std::string text = "abc";
  std::string key = kKey;
  handedText = &text;
  handedKey = &key;
  ASSERT_TRUE(PostMessageA(window_, WM_APP, 0, 0));
  PostQuitMessage(3);
  EXPECT_EQ(cipher::EncodeValue("abc", kKey), "6F6C6D" + std::string(kTag));
  EXPECT_EQ(handlerRuns, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
