// The system's error numbers in Japanese, and the system text kept only for
// numbers without a Japanese one.
#include "shell/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "shell/shell_test_util.h"

namespace yk {
namespace {

TEST(SystemError, NumbersAUserMeetsAreToldInJapanese) {
  struct Case {
    int error;
    const char* text;  // UTF-8
  };
  const Case cases[] = {
      {EFBIG, "ファイルが大きすぎます。"},
      {EACCES, "アクセスする権限がありません。"},
      {ENOSPC, "ディスクの空き容量が足りません。"},
      {0, "原因がわかりません。"},
  };
  for (const Case& c : cases) EXPECT_EQ(SystemErrorText(c.error), test::Sjis(c.text)) << c.error;
  // Every number of files, folders and programs: Japanese, never the
  // system's English words.
  for (int error : {EPERM, ENOENT, ENOTDIR, EISDIR, EEXIST, EDQUOT, EROFS, ENAMETOOLONG, ELOOP, EMFILE, ENOMEM, EIO,
                    EBUSY, ETXTBSY, EAGAIN, EINVAL, ENXIO, EXDEV, ENOEXEC, ESTALE}) {
    const std::string text = SystemErrorText(error);
    EXPECT_EQ(text.find(::strerrordesc_np(error)), std::string::npos) << error;
    EXPECT_EQ(text.substr(text.size() - 2), test::Sjis("。")) << error;
    EXPECT_EQ(cp932::DecodeToUtf8(text).find("\xef\xbf\xbd"), std::string::npos) << error;  // valid CP932
  }
}

TEST(SystemError, OtherNumbersKeepTheSystemTextAndTheNumber) {
  EXPECT_EQ(SystemErrorText(EHOSTDOWN), "Host is down (" + std::to_string(EHOSTDOWN) + ")" + test::Sjis("。"));
  EXPECT_NE(SystemErrorText(99999).find("(99999)"), std::string::npos);
}

}  // namespace
}  // namespace yk
