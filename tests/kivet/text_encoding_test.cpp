// Text as the library shows it: UTF-8, with stray bytes as Latin-1.
#include "kivet/text_encoding.h"

#include <gtest/gtest.h>

namespace kivet {
namespace {

TEST(TextEncodingTest, Utf8StaysAndStrayBytesShowAsLatin1) {
  const ControlCharacters keep = ControlCharacters::keep;
  EXPECT_EQ(shown_utf8("Caf\xc3\xa9 20\xc2\xb0" "C", keep), "Caf\xc3\xa9 20\xc2\xb0" "C");
  // Old byte text: each byte that starts no valid sequence is one character.
  EXPECT_EQ(shown_utf8("caf\xe9", keep), "caf\xc3\xa9");
  // Overlong forms, surrogates, cut sequences and stray continuations.
  EXPECT_EQ(shown_utf8("\xc0\xaf|\xed\xa0\x80|\xe2\x82|\x80", keep),
            "\xc3\x80\xc2\xaf|\xc3\xad\xc2\xa0\xc2\x80|\xc3\xa2\xc2\x82|\xc2\x80");
  EXPECT_EQ(shown_utf8("\xf0\x9f\x99\x82", keep), "\xf0\x9f\x99\x82");

  // One-line texts keep to one line; the dialog's prompt breaks at newlines.
  EXPECT_EQ(shown_utf8("a\nb\x85\t", ControlCharacters::replace),
            "a\xef\xbf\xbd" "b\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(shown_utf8("a\nb\x85\t", ControlCharacters::replace_but_newline_and_tab),
            "a\nb\xef\xbf\xbd\t");
}

TEST(TextEncodingTest, Utf16BothWaysAndCutsAtCharacters) {
  std::string text = "Zo\xc3\xab \xe2\x82\xac \xf0\x9f\x99\x82";
  std::u16string wide = utf8_to_utf16(text);
  EXPECT_EQ(wide, (std::u16string{u'Z', u'o', 0xEB, u' ', 0x20AC, u' ', 0xD83D, 0xDE42}));
  EXPECT_EQ(utf16_to_utf8(wide), text);
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'a', 0xD800, u'b'}), "a\xef\xbf\xbd" "b");

  EXPECT_EQ(utf8_prefix(text, 3), "Zo");
  EXPECT_EQ(utf8_prefix(text, 4), "Zo\xc3\xab");
  EXPECT_EQ(utf8_prefix(text, 100), text);
  // Bytes that only look like continuations cost at most three.
  EXPECT_EQ(utf8_prefix(std::string(300, '\x80'), 255).size(), 252u);
}

}  // namespace
}  // namespace kivet
