// The secret type: whatever happens to it, no freed block and no object it leaves behind still
// holds its text.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "base/secret.h"
#include "support/freed_memory_watch.h"

namespace orv {
namespace {

using testing::blocksFreedHolding;
using testing::bytesOf;

// Longer than any string keeps inside itself, so it lives on the heap.
constexpr std::u16string_view kLongKey = u"correct horse battery staple";
// Short enough to live inside the object. An emptied string marks its end on the first
// character, so what may stay behind is the rest.
constexpr std::u16string_view kShortKey = u"k3y!";
constexpr std::u16string_view kShortKeyTail = kShortKey.substr(1);

bool storageHolds(const void* storage, std::size_t size, std::u16string_view text) {
  const std::string bytes = bytesOf(text);
  return memmem(storage, size, bytes.data(), bytes.size()) != nullptr;
}

struct HeapCase {
  const char* what;
  void (*run)();
};

const HeapCase kHeapCases[] = {
    {"destroyed", [] { SecretText key(kLongKey); }},
    {"grown by append",
     [] {
       SecretText key(kLongKey);
       key.append(u" and more");
     }},
    {"grown character by character",
     [] {
       SecretText key;
       for (char16_t c : kLongKey) key.push_back(c);
     }},
    {"grown by a view of itself",
     [] {
       SecretText key(kLongKey);
       key.append(key.view());
     }},
    {"reserved larger",
     [] {
       SecretText key(kLongKey);
       key.reserve(1000);
     }},
    {"resized larger",
     [] {
       SecretText key(kLongKey);
       key.resize(1000);
     }},
    {"cut, then grown",
     [] {
       SecretText key(kLongKey);
       key.resize(3);
       key.reserve(1000);
     }},
    {"moved from",
     [] {
       SecretText key(kLongKey);
       const SecretText taken(std::move(key));
     }},
    {"assigned over",
     [] {
       SecretText key(kLongKey);
       SecretText other(u"another key that is long enough");
       key = std::move(other);
       SecretText copy(u"a third key that is long enough");
       copy = key;
     }},
    {"copied",
     [] {
       const SecretText key(kLongKey);
       const SecretText copy(key);
     }},
    {"adopted from a string",
     [] {
       std::u16string plain(kLongKey);
       const SecretText key(std::move(plain));
     }},
    {"cleared",
     [] {
       SecretText key(kLongKey);
       key.clear();
       key.append(u"x");
     }},
};

TEST(Secret, NoFreedBlockHoldsItsText) {
  const std::vector<std::string> patterns{bytesOf(kLongKey), bytesOf(kLongKey.substr(0, 12)),
                                          bytesOf(u"another key"), bytesOf(u"a third key")};
  for (const HeapCase& c : kHeapCases) {
    EXPECT_EQ(blocksFreedHolding(patterns, c.run), 0u) << c.what;
  }
}

// The check itself can fail: a plain string frees its old buffer as it is when it grows, and
// its last one at the end.
TEST(Secret, TheWatchSeesWhatAPlainStringLeaves) {
  const std::vector<std::string> patterns{bytesOf(kLongKey)};
  EXPECT_EQ(blocksFreedHolding(patterns,
                               [] {
                                 std::u16string key(kLongKey);
                                 key.append(1000, u'x');
                               }),
            2u);
}

TEST(Secret, ACutIsWipedInPlace) {
  SecretText key(kLongKey);
  const char16_t* buffer = key.data();
  key.resize(7);
  EXPECT_EQ(key.view(), kLongKey.substr(0, 7));
  // The string's own end mark takes the first place cut; the rest must be wiped.
  EXPECT_FALSE(storageHolds(buffer + 8, (kLongKey.size() - 8) * sizeof(char16_t), kLongKey.substr(8, 5)));
}

// A short text lives inside the object: a move copies it, and the object moved from must not
// keep it; nor may the storage of one that has ended.
TEST(Secret, AShortTextLeavesNothingInTheObject) {
  alignas(SecretText) unsigned char storage[sizeof(SecretText)];
  auto* source = new (storage) SecretText(kShortKey);
  ASSERT_TRUE(storageHolds(storage, sizeof storage, kShortKey));
  const SecretText taken(std::move(*source));
  EXPECT_FALSE(storageHolds(storage, sizeof storage, kShortKeyTail));
  EXPECT_EQ(taken.view(), kShortKey);
  *source = SecretText(kShortKey);
  source->~SecretText();
  EXPECT_FALSE(storageHolds(storage, sizeof storage, kShortKeyTail));
}

// A short text assigned is copied into the buffer already held, over the start of the longer
// text it replaces; neither the rest of that nor the short text's first home may stay.
TEST(Secret, AnAssignmentLeavesNoOldTextInEitherObject) {
  SecretText key(kLongKey);
  const char16_t* buffer = key.data();
  alignas(SecretText) unsigned char storage[sizeof(SecretText)];
  auto* source = new (storage) SecretText(kShortKey);
  key = std::move(*source);
  EXPECT_EQ(key.view(), kShortKey);
  EXPECT_FALSE(storageHolds(storage, sizeof storage, kShortKeyTail));
  ASSERT_EQ(key.data(), buffer);
  EXPECT_FALSE(storageHolds(buffer, kLongKey.size() * sizeof(char16_t), kLongKey.substr(8, 5)));
  source->~SecretText();
}

TEST(Secret, AnAdoptedShortStringIsWiped) {
  std::u16string plain(kShortKey);
  const SecretText key(std::move(plain));
  EXPECT_EQ(key.view(), kShortKey);
  EXPECT_FALSE(storageHolds(&plain, sizeof plain, kShortKeyTail));
}

TEST(Secret, KeepsItsTextThroughEveryChange) {
  SecretBytes key(std::string_view("abc"));
  key.append(key.view());
  key.push_back('!');
  EXPECT_EQ(key, std::string_view("abcabc!"));
  key.resize(2);
  EXPECT_EQ(key, std::string_view("ab"));
  key.resize(4);
  EXPECT_EQ(key, std::string_view("ab\0\0", 4));
  SecretBytes copy = key;
  EXPECT_EQ(copy, key);
  key.clear();
  EXPECT_TRUE(key.empty());
  EXPECT_NE(copy, key);
}

}  // namespace
}  // namespace orv
