#include "platform/res/DialogResource.h"

#include "platform/user/ControlsApi.h"
#include "platform/user/DialogApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/WindowApi.h"

namespace platform {

namespace {

constexpr DWORD MODAL_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD PAGE_STYLE = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr DWORD PUSH = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD DEFAULT_PUSH = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD RADIO = BS_AUTORADIOBUTTON | WS_TABSTOP;

// The window settings: two pages on a tab control.
constexpr DialogTemplateItem WINDOW_SETTINGS_ITEMS[] = {
    {WC_TABCONTROLW, 1001, u"", 7, 7, 290, 164, TCS_OWNERDRAWFIXED | WS_TABSTOP},
    {WC_BUTTONW, 1011, u"標準設定", 7, 178, 64, 14, PUSH},
    {WC_BUTTONW, IDOK, u"OK", 187, 178, 52, 14, DEFAULT_PUSH},
    {WC_BUTTONW, IDCANCEL, u"キャンセル", 245, 178, 52, 14, PUSH},
};

// The full-screen page. Buttons 1003, 1004 and 1005 are not on it.
constexpr DialogTemplateItem FULL_SCREEN_ITEMS[] = {
    {WC_BUTTONW, 1057, u"フルスクリーン時の表示方法", 6, 4, 272, 82, BS_GROUPBOX},
    {WC_BUTTONW, 1007, u"ディスプレイ解像度に合わせて表示（相対縦横比を維持）", 14, 18, 258, 12,
     RADIO | WS_GROUP},
    {WC_BUTTONW, 1008, u"ディスプレイ解像度の横幅に合わせて表示（相対縦横比を維持）", 14, 34, 258, 12, RADIO},
    {WC_BUTTONW, 1009, u"ディスプレイ解像度の縦幅に合わせて表示（相対縦横比を維持）", 14, 50, 258, 12, RADIO},
    {WC_BUTTONW, 1012, u"ディスプレイ解像度と同じ大きさで表示（相対縦横比を無視）", 14, 66, 258, 12, RADIO},
    {WC_STATICW, 1058, u"「テスト」を押すと、選んだ表示方法を15秒間試すことができます。", 8, 94, 268, 20,
     SS_LEFT},
    {WC_BUTTONW, 1010, u"テスト", 170, 122, 52, 14, PUSH},
    {WC_BUTTONW, 1011, u"初期値", 226, 122, 52, 14, PUSH},
};

constexpr DialogTemplateItem WINDOW_SIZE_ITEMS[] = {
    {WC_STATICW, -1, u"ウィンドウの大きさ", 8, 6, 200, 10, SS_LEFT},
    {TRACKBAR_CLASSW, 1015, u"", 6, 20, 272, 22, TBS_AUTOTICKS | WS_TABSTOP},
    {WC_STATICW, 1016, u"MIN", 10, 44, 40, 10, SS_LEFT},
    {WC_STATICW, 1017, u"MAX", 234, 44, 40, 10, SS_RIGHT},
    {WC_STATICW, 1019, u"", 80, 64, 124, 10, SS_CENTER},
    {WC_BUTTONW, 1011, u"初期値", 226, 122, 52, 14, PUSH},
};

constexpr DialogTemplateItem TIME_OUT_ITEMS[] = {
    {WC_STATICW, 1059, u"この表示設定を使いますか？", 10, 10, 200, 10, SS_LEFT},
    {WC_STATICW, 1019, u"", 10, 26, 200, 10, SS_LEFT},
    {WC_BUTTONW, IDOK, u"OK", 102, 50, 52, 14, DEFAULT_PUSH},
    {WC_BUTTONW, IDCANCEL, u"キャンセル", 158, 50, 52, 14, PUSH},
};

constexpr DialogTemplateItem VERSION_ITEMS[] = {
    {WC_STATICW, -1, u"#109", 10, 10, 21, 20, SS_ICON},
    {WC_STATICW, 1039, u"", 42, 10, 176, 10, SS_LEFT},
    {WC_STATICW, -1, u"Ver.", 42, 26, 20, 10, SS_LEFT},
    {WC_STATICW, 1040, u"", 64, 26, 120, 10, SS_LEFT},
    {WC_BUTTONW, IDOK, u"OK", 166, 50, 52, 14, DEFAULT_PUSH},
};

constexpr DialogTemplateItem PROGRESS_ITEMS[] = {
    {PROGRESS_CLASSW, 1027, u"", 10, 10, 180, 12, 0},
    {WC_STATICW, 1028, u"", 10, 28, 180, 10, SS_LEFT},
};

// The MPEG decoder check: a decoder is missing (153), or its merit could not be changed (155).
constexpr DialogTemplateItem MPEG_MISSING_ITEMS[] = {
    {WC_STATICW, -1, u"MPEG1 Video コーデック がインストールされていません。", 7, 7, 217, 10, SS_LEFT},
    {WC_STATICW, -1,
     u"このゲームでは、MPEG1ムービーを使用しています。\nムービーを再生するためには、MPEG1 Video コーデック が必要です。",
     7, 21, 217, 26, SS_LEFT},
    {WC_STATICW, -1, u"お手数ですが、MPEG1 Video コーデックをインストールしてください。", 7, 51, 217, 18, SS_LEFT},
    {WC_STATICW, -1,
     u"フリーウェアのコーデック「ffdshow」や「LAV Filters」等をインストールすると正常に動作する場合があります。", 7,
     73, 217, 18, SS_LEFT},
    {WC_STATICW, -1,
     u"※コーデックは、64bit版Windowsをお使いの方も32bit(x86)版をインス　トールしてください。", 7, 95, 217, 18,
     SS_LEFT},
    {WC_STATICW, -1,
     u"※ご使用のパソコンの機種・環境・設定により、コーデックのインストール　の結果、万が一何らかの障害が生じましても、一"
     u"切の保証を致しか　ねます。予めご了承ください",
     7, 117, 217, 34, SS_LEFT},
    {WC_BUTTONW, IDOK, u"OK", 90, 156, 50, 14, DEFAULT_PUSH},
};

constexpr DialogTemplateItem MPEG_MERIT_ITEMS[] = {
    {WC_STATICW, -1, u"MPEG1 Video コーデック のメリット値の変更が必要です。", 7, 7, 291, 10, SS_LEFT},
    {WC_STATICW, -1,
     u"このゲームでは、MPEG1ムービーを使用しています。\nムービーを再生するためには、MPEG1 Video "
     u"コーデックのメリット値の変更が必要です。",
     7, 21, 291, 18, SS_LEFT},
    {WC_BUTTONW, -1, u"ゲーム実行中のみメリット値を変更する場合", 7, 43, 291, 62, BS_GROUPBOX},
    {WC_STATICW, -1,
     u"ゲームのショートカットまたは実行EXEを右クリックメニューを表示してください。\nメニュー内の「管理者として実行」を"
     u"選んでゲームを実行してください。\n※管理者権限を持たないアカウント(標準)でサインインしているときに実行するには、"
     u"管理者権限を持つアカウントのパスワードが必要です。",
     13, 55, 279, 46, SS_LEFT},
    {WC_BUTTONW, -1, u"フリーウェアをインストールする場合", 7, 109, 291, 72, BS_GROUPBOX},
    {WC_STATICW, -1, u"「ffdshow」や「LAV Filters」等をインストールすると改善する場合があります。", 13, 121, 279,
     10, SS_LEFT},
    {WC_STATICW, -1, u"※コーデックは、64bit版Windowsをお使いの方も32bit(x86)版をインストールしてください。", 13, 135,
     279, 18, SS_LEFT},
    {WC_STATICW, -1,
     u"※ご使用のパソコンの機種・環境・設定により、コーデックのインストールの結果、万が一何らかの障害が生じましても、一切"
     u"の保証を致しかねます。予めご了承ください",
     13, 155, 279, 24, SS_LEFT},
    {WC_BUTTONW, IDOK, u"OK", 127, 187, 50, 14, DEFAULT_PUSH},
};

constexpr DialogTemplate TEMPLATES[] = {
    {111, MODAL_STYLE, u"ウィンドウ設定", 0, 0, 304, 199, WINDOW_SETTINGS_ITEMS},
    {113, PAGE_STYLE, u"", 0, 0, 284, 142, FULL_SCREEN_ITEMS},
    {114, PAGE_STYLE, u"", 0, 0, 284, 142, WINDOW_SIZE_ITEMS},
    {115, MODAL_STYLE | DS_CENTER, u"ウィンドウ設定", 0, 0, 220, 71, TIME_OUT_ITEMS},
    {120, MODAL_STYLE | DS_CENTER, u"バージョン情報", 0, 0, 226, 71, VERSION_ITEMS},
    {131, MODAL_STYLE | DS_CENTER, u"データアップデート", 0, 0, 200, 46, PROGRESS_ITEMS},
    {153, MODAL_STYLE | DS_CENTER, u"MPEG1 Video コーデック がありません", 0, 0, 231, 177, MPEG_MISSING_ITEMS},
    {155, MODAL_STYLE | DS_CENTER, u"コーデック のメリット値の変更が必要です", 0, 0, 305, 208, MPEG_MERIT_ITEMS},
};

} // namespace

const DialogTemplate* FindDialogResource(uint16_t id)
{
    for (const DialogTemplate& entry : TEMPLATES) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace platform
