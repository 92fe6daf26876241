#include "files/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace kestrel {

std::string SystemErrorText(int errorNumber) {
    switch (errorNumber) {
        case kNotRegularFile:
            return "通常のファイルではありません";
        case ENOENT:
            return "ファイルまたはフォルダーが見つかりません";
        case EACCES:
        case EPERM:
            return "アクセスする権限がありません";
        case EISDIR:
            return "同じ名前のフォルダーがあります";
        case ENOTDIR:
            return "フォルダーの指定が正しくありません（途中にファイルがあります）";
        case ENOSPC:
            return "ディスクの空き容量が足りません";
        case EDQUOT:
            return "ディスクの使用量の上限を超えました";
        case EFBIG:
            return "ファイルの大きさの上限を超えました";
        case EROFS:
            return "書き込みのできない場所です";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます";
        case EBUSY:
        case ETXTBSY:
            return "ファイルが使用中です";
        case EIO:
            return "ディスクの読み書きでエラーが発生しました";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ELOOP:
            return "シンボリックリンクが多すぎます";
        case EINVAL:
            return "ファイル名が正しくありません";
        default:
            return "システムエラー " + std::to_string(errorNumber) + "（" +
                   std::strerror(errorNumber) + "）";
    }
}

bool IsFileInUseError(int errorNumber) {
    return errorNumber == EBUSY || errorNumber == ETXTBSY;
}

}  // namespace kestrel
