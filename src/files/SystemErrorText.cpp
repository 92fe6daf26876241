#include "files/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace kestrel {

Wording SystemErrorReason(int errorNumber) {
    switch (errorNumber) {
        case kNotRegularFile:
            return {TrNoop("通常のファイルではありません")};
        case ENOENT:
            return {TrNoop("ファイルまたはフォルダーが見つかりません")};
        case EACCES:
        case EPERM:
            return {TrNoop("アクセスする権限がありません")};
        case EISDIR:
            return {TrNoop("同じ名前のフォルダーがあります")};
        case ENOTDIR:
            return {TrNoop("フォルダーの指定が正しくありません（途中にファイルがあります）")};
        case ENOSPC:
            return {TrNoop("ディスクの空き容量が足りません")};
        case EDQUOT:
            return {TrNoop("ディスクの使用量の上限を超えました")};
        case EFBIG:
            return {TrNoop("ファイルの大きさの上限を超えました")};
        case EROFS:
            return {TrNoop("書き込みのできない場所です")};
        case ENAMETOOLONG:
            return {TrNoop("ファイル名が長すぎます")};
        case EBUSY:
        case ETXTBSY:
            return {TrNoop("ファイルが使用中です")};
        case EIO:
            return {TrNoop("ディスクの読み書きでエラーが発生しました")};
        case EMFILE:
        case ENFILE:
            return {TrNoop("開いているファイルが多すぎます")};
        case ELOOP:
            return {TrNoop("シンボリックリンクが多すぎます")};
        case EINVAL:
            return {TrNoop("ファイル名が正しくありません")};
        default:
            return {TrNoop("システムエラー {1}（{2}）"),
                    {std::to_string(errorNumber), std::strerror(errorNumber)}};
    }
}

std::string SystemErrorText(int errorNumber) {
    return SystemErrorReason(errorNumber).Text();
}

bool IsFileInUseError(int errorNumber) {
    return errorNumber == EBUSY || errorNumber == ETXTBSY;
}

}  // namespace kestrel
