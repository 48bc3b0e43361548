// Japanese texts for the system's error numbers.
#include "shell/system_error.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/cp932_codec.h"

namespace yk {

namespace {

struct TErrorText {
  int error;
  std::string_view utf8;
};

// The numbers a user meets with files, folders, the disk and programs.
constexpr TErrorText kTexts[] = {
    {EACCES, "アクセスする権限がありません。"},
    {EPERM, "この操作は許可されていません。"},
    {ENOENT, "ファイルまたはフォルダーがありません。"},
    {ENOTDIR, "パスの途中にフォルダーでないものがあります。"},
    {EISDIR, "ファイルではなくフォルダーです。"},
    {EEXIST, "同じ名前のものがすでにあります。"},
    {ENOTEMPTY, "フォルダーが空ではありません。"},
    {ENOSPC, "ディスクの空き容量が足りません。"},
    {EDQUOT, "ディスクの使用量が上限に達しています。"},
    {EFBIG, "ファイルが大きすぎます。"},
    {EOVERFLOW, "ファイルが大きすぎます。"},
    {EROFS, "読み取り専用の場所です。"},
    {ENAMETOOLONG, "名前が長すぎます。"},
    {ELOOP, "シンボリックリンクが多すぎるか、循環しています。"},
    {EMFILE, "開いているファイルが多すぎます。"},
    {ENFILE, "システム全体で開いているファイルが多すぎます。"},
    {ENOMEM, "メモリが足りません。"},
    {EIO, "読み書きの途中で装置のエラーが起きました。"},
    {EBUSY, "使用中です。"},
    {ETXTBSY, "実行中のプログラムのファイルです。"},
    {EAGAIN, "一時的に使えません。しばらくしてからやり直してください。"},
    {EINTR, "中断されました。"},
    {EINVAL, "この操作には使えないものです。"},
    {ENXIO, "装置がありません。"},
    {ENODEV, "装置がありません。"},
    {EXDEV, "別のファイルシステムへは移せません。"},
    {ENOEXEC, "実行できる形式のファイルではありません。"},
    {E2BIG, "引数が長すぎます。"},
    {ENOLCK, "ファイルをロックできません。"},
    {ESTALE, "ネットワーク上のファイルが見えなくなりました。"},
    {ETIMEDOUT, "時間内に応答がありませんでした。"},
};

}  // namespace

std::string SystemErrorText(int error) {
  if (error == 0) return cp932::EncodeFromUtf8("原因がわかりません。").bytes;
  for (const TErrorText& t : kTexts)
    if (t.error == error) return cp932::EncodeFromUtf8(t.utf8).bytes;
  // The system's description is English ASCII whatever the locale, so it
  // is valid CP932 as it stands.
  const char* system = ::strerrordesc_np(error);
  const std::string number = " (" + std::to_string(error) + ")";
  return (system ? std::string(system) : cp932::EncodeFromUtf8("システムのエラー").bytes) + number +
         cp932::EncodeFromUtf8("。").bytes;
}

}  // namespace yk
