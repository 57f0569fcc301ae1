#include "platform/win32/registry_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/ansi_code_page.h"
#include "tests/win32/test_registry.h"

namespace velkorn::testing {
namespace {

// "C:\画像\表.bmp" in CP932; 表's second byte is 0x5C.
const Text kJapanesePath = U"C:\\画像\\表.bmp";
const std::string kJapanesePathBytes = "C:\\\x89\xE6\x91\x9C\\\x95\x5C.bmp";

// Records the three registry calls and answers each with a chosen code.
class RecordingRegistry final : public win32::RegistryCalls {
 public:
  struct Create {
    HKEY root;
    std::string subKey;
    DWORD reserved;
    std::string className;
    DWORD options;
    REGSAM access;
    const SECURITY_ATTRIBUTES* security;
  };
  struct Set {
    HKEY key;
    std::string name;
    DWORD reserved;
    DWORD type;
    std::string data;
  };

  LONG createKey(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                 const SECURITY_ATTRIBUTES* security, PHKEY key, LPDWORD disposition) override {
    creates.push_back({root, subKey, reserved, className, options, access, security});
    *key = createResult == ERROR_SUCCESS ? kOpened : reinterpret_cast<HKEY>(0xBAD);
    if (disposition) *disposition = REG_CREATED_NEW_KEY;
    return createResult;
  }
  LONG setValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override {
    sets.push_back({key, name, reserved, type, std::string(reinterpret_cast<const char*>(data), size)});
    return setResult;
  }
  LONG flushKey(HKEY key) override {
    flushes.push_back(key);
    return flushResult;
  }
  LONG closeKey(HKEY key) override {
    closes.push_back(key);
    return ERROR_SUCCESS;
  }

  static inline const HKEY kOpened = reinterpret_cast<HKEY>(0x1234);
  LONG createResult = ERROR_SUCCESS;
  LONG setResult = ERROR_SUCCESS;
  LONG flushResult = ERROR_SUCCESS;
  std::vector<Create> creates;
  std::vector<Set> sets;
  std::vector<HKEY> flushes;
  std::vector<HKEY> closes;
};

class RegistryWrite : public ::testing::Test {
 protected:
  win32::AnsiCodePage codePage;
  Codec codec{codePage};
  RecordingRegistry registry;
  win32::RegistrySettingsStore store{codec, registry};
};

TEST_F(RegistryWrite, MakesTheThreeCallsWithTheirExactArguments) {
  ASSERT_TRUE(store.write("readButtonBitmap", kJapanesePath));

  ASSERT_EQ(registry.creates.size(), 1u);
  const RecordingRegistry::Create& create = registry.creates[0];
  EXPECT_EQ(create.root, HKEY_CURRENT_USER);
  EXPECT_EQ(create.subKey, "Software\\orangesoft\\winbiff\\settings");
  EXPECT_EQ(create.reserved, 0u);
  EXPECT_EQ(create.className, "readButtonBitmap");
  EXPECT_EQ(create.options, 0u);
  EXPECT_EQ(create.access, 0xF003Fu);
  EXPECT_EQ(create.security, nullptr);

  ASSERT_EQ(registry.sets.size(), 1u);
  const RecordingRegistry::Set& set = registry.sets[0];
  EXPECT_EQ(set.key, RecordingRegistry::kOpened);
  EXPECT_EQ(set.name, "readButtonBitmap");
  EXPECT_EQ(set.reserved, 0u);
  EXPECT_EQ(set.type, 1u);
  EXPECT_EQ(set.data, kJapanesePathBytes + '\0');  // the length counts the NUL

  EXPECT_EQ(registry.flushes, std::vector<HKEY>{HKEY_CURRENT_USER});
  EXPECT_EQ(registry.closes, std::vector<HKEY>{RecordingRegistry::kOpened});
}

TEST_F(RegistryWrite, TheEmptyStringIsALoneNul) {
  ASSERT_TRUE(store.write("velkornBitmap", U""));
  ASSERT_EQ(registry.sets.size(), 1u);
  EXPECT_EQ(registry.sets[0].data, std::string(1, '\0'));
}

TEST_F(RegistryWrite, AnyFailingCallFailsTheWriteYetAllThreeAreMade) {
  for (LONG RecordingRegistry::*failing :
       {&RecordingRegistry::createResult, &RecordingRegistry::setResult, &RecordingRegistry::flushResult}) {
    RecordingRegistry calls;
    calls.*failing = ERROR_ACCESS_DENIED;
    win32::RegistrySettingsStore failingStore(codec, calls);
    EXPECT_FALSE(failingStore.write("velkornBitmap", U"a.bmp"));
    EXPECT_EQ(calls.creates.size(), 1u);
    EXPECT_EQ(calls.sets.size(), 1u);
    EXPECT_EQ(calls.flushes.size(), 1u);
  }
}

// A key that was not opened is neither used nor closed.
TEST_F(RegistryWrite, AFailedCreateLeavesNoHandleToUseOrClose) {
  registry.createResult = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
  ASSERT_EQ(registry.sets.size(), 1u);
  EXPECT_EQ(registry.sets[0].key, nullptr);
  EXPECT_TRUE(registry.closes.empty());
}

// The ANSI conversion would store "?" for it: a path to no file at all.
TEST_F(RegistryWrite, APathTheCodePageCannotHoldIsNotStored) {
  EXPECT_FALSE(store.write("velkornBitmap", U"C:\\café.bmp"));
  EXPECT_TRUE(registry.sets.empty());
}

// The real registry of the test's Wine prefix.
class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { removeMailCheckerSettings(); }
  void TearDown() override { removeMailCheckerSettings(); }

  win32::AnsiCodePage codePage;
  Codec codec{codePage};
  win32::RegistrySettingsStore store{codec};
};

TEST_F(RealRegistry, CreatesTheKeyAndStoresTheAnsiBytesExactly) {
  ASSERT_TRUE(store.write("velkornBitmap", kJapanesePath));
  EXPECT_EQ(settingsKeyClass(), "velkornBitmap");
  ASSERT_TRUE(store.write("readButtonBitmap", U""));

  const auto path = storedValue("velkornBitmap");
  ASSERT_TRUE(path);
  EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(path->bytes, kJapanesePathBytes + '\0');
  const auto empty = storedValue("readButtonBitmap");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(empty->bytes, std::string(1, '\0'));
}

TEST_F(RealRegistry, ReportsFailureWhenTheKeyCannotBeCreated) {
  ASSERT_TRUE(makeSettingsKeyUncreatable());
  EXPECT_FALSE(store.write("velkornBitmap", U"a.bmp"));
  EXPECT_FALSE(storedValue("velkornBitmap"));
}

}  // namespace
}  // namespace velkorn::testing
